// Clock stage, the face: the angles of the three hands and the twelve hour
// marks, and the fifteen draw nodes that place them in front of the camera.
#pragma once
#include "demo/draw_list.h"
#include "math/matrix.h"

#include <cstdint>

// Angles (math/fixed.h) counted from the face's +X axis, a quarter turn
// being twelve o'clock. hour is 0..11; each product is divided as an
// integer, truncating toward zero.
int32_t HourHandAngle(int32_t hour, int32_t minute);
int32_t MinuteHandAngle(int32_t minute, int32_t second);
int32_t SecondHandAngle(int32_t second);
int32_t HourMarkAngle(int32_t mark);

// The hour, minute and second hands and the twelve marks for the time of day
// (hour 0..23), each placed on a copy of the camera matrix, taken from the
// list's pool and inserted by depth.
void PlaceClockFace(DrawList* list, const Matrix* camera, int32_t hour, int32_t minute,
                    int32_t second);
