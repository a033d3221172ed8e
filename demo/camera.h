// Clock stage, the camera: a small random state machine that holds still, turns
// the clock about X or Y, pulses the zoom, swings, wobbles or sweeps the
// light around. One step per scene frame; its outputs are a zoom distance,
// two camera angles and, while sweeping, the renderer's light direction.
#pragma once
#include "math/fixed.h"

class Renderer;

// The camera stands this far (250.0) from the clock's centre; the animation's
// zoom is added to it.
constexpr Fixed kCameraDistance = 0xFA0000;

enum CameraState : int32_t {
    CameraChoose = -1, // choose a new state after this step
    CameraHold = 0,
    CameraTurnX = 1,
    CameraTurnY = 2,
    CameraZoomPulse = 3,
    CameraSwing = 4,
    CameraWobble = 5,
    CameraLightSweep = 6,
};

struct CameraAnimation {
    int32_t state;
    Fixed zoom;     // added to the camera distance of 250.0
    int32_t angleX; // angles as math/fixed.h counts them
    int32_t angleY;
    int32_t phase; // progress of states 3 to 6
    int32_t speed; // 22..157
    int32_t waitFrames;
    Vector3 light; // normalised, then copied into the renderer's light direction
};

// The state the scene starts in: a hold of 20 frames, no zoom, no turn, the
// light at (0, 0.5, 1.0) normalised and given to the renderer (if any).
// phase and speed are left as they are.
void CameraAnimationStart(CameraAnimation* animation, Renderer* renderer);

// One step of the current state, then, if the state has ended, the choice of
// the next one: state, speed and hold length drawn from the device's
// generator in that order. The light sweep writes the renderer's light
// direction (a null renderer is left alone).
void AnimateCamera(CameraAnimation* animation, Renderer* renderer);
