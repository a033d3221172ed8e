// The clock face: the angles of the three hands and the twelve hour marks, and
// the draw node the face is sorted and drawn with.
#pragma once
#include "math/matrix.h"
#include "math/mesh.h"

#include <cstdint>

struct Texture;

// One entry of the draw-node pool and of the sorted draw list.
struct DrawNode {
    Fixed key;       // depth in front of the viewer: element 14 of the matrix
    uint32_t colour; // 0xAARRGGBB; lighting uses the low 24 bits
    Texture* texture;
    Matrix matrix; // model-view matrix
    Mesh* mesh;
    DrawNode* next;
};

constexpr int32_t kDrawNodeCount = 40;

// Angles of 4096 steps to the turn, counted from the face's +X axis, 1024 a
// quarter turn (twelve o'clock). hour is 0..11; each product is divided as an
// integer, truncating toward zero.
int32_t HourHandAngle(int32_t hour, int32_t minute);
int32_t MinuteHandAngle(int32_t minute, int32_t second);
int32_t SecondHandAngle(int32_t second);
int32_t HourMarkAngle(int32_t mark);
