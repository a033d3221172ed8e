// Clock stage, the camera: the animation's state machine.
#include "demo/camera.h"

#include "render/renderer.h"

namespace {

constexpr int32_t kStateCount = 7;
constexpr int32_t kSpeedRange = 136; // speeds 22..157
constexpr int32_t kSlowestSpeed = 22;
constexpr int32_t kHoldRange = 30; // holds of 5..34 frames
constexpr int32_t kShortestHold = 5;
constexpr int32_t kSwingAngle = 796; // the swing's and wobble's reach, in angle steps
constexpr Fixed kStartLight[3] = {0, 0x8000, kFixedOne};

// The light is normalised in place, then handed to the renderer.
void SetLight(CameraAnimation* animation, Renderer* renderer, Fixed x, Fixed y, Fixed z) {
    animation->light = Vector3{x, y, z};
    VectorNormalize(&animation->light);
    if (renderer != nullptr) renderer->SetLightDirection(&animation->light);
}

// States 3 to 6 advance their phase and end by resetting it; their outputs
// are computed afterwards, so each ends with its output back at rest.
bool AdvancePhase(CameraAnimation* animation, int32_t step, int32_t end) {
    animation->phase += step;
    if (animation->phase < end) return false;
    animation->phase = 0;
    animation->state = CameraChoose;
    return true;
}

void Step(CameraAnimation* a, Renderer* renderer) {
    switch (a->state) {
    case CameraHold: {
        const int32_t old = a->waitFrames;
        a->waitFrames = old - 1;
        if (old < 0) a->state = CameraChoose;
        break;
    }
    case CameraTurnX:
        a->angleX += a->speed;
        if (a->angleX >= kFullTurn) {
            a->angleX = 0;
            a->state = CameraChoose;
        }
        break;
    case CameraTurnY:
        a->angleY += a->speed;
        if (a->angleY >= kFullTurn) {
            a->angleY = 0;
            a->state = CameraChoose;
        }
        break;
    case CameraZoomPulse:
        AdvancePhase(a, a->speed, kFullTurn);
        a->zoom = Sin(a->phase) * 200;
        break;
    case CameraSwing:
        AdvancePhase(a, a->speed >> 1, kFullTurn);
        a->angleY = (Sin(a->phase) * kSwingAngle) >> 16;
        break;
    case CameraWobble:
        AdvancePhase(a, a->speed >> 1, kHalfTurn);
        a->angleY = (Sin(a->phase * 6) * kSwingAngle) >> 16;
        a->zoom = Sin(a->phase) * 500;
        break;
    case CameraLightSweep:
        if (!AdvancePhase(a, a->speed >> 1, kFullTurn)) {
            SetLight(a, renderer, Cos(a->phase), Sin(a->phase), kFixedOne);
        } else {
            SetLight(a, renderer, kStartLight[0], kStartLight[1], kStartLight[2]);
        }
        break;
    default:
        break;
    }
}

} // namespace

void CameraAnimationStart(CameraAnimation* animation, Renderer* renderer) {
    SetLight(animation, renderer, kStartLight[0], kStartLight[1], kStartLight[2]);
    animation->state = CameraHold;
    animation->zoom = 0;
    animation->angleX = 0;
    animation->angleY = 0;
    animation->waitFrames = 20;
}

void AnimateCamera(CameraAnimation* animation, Renderer* renderer) {
    Step(animation, renderer);
    if (animation->state != CameraChoose) return;
    animation->state = RandomBelow(kStateCount);
    animation->speed = RandomBelow(kSpeedRange) + kSlowestSpeed;
    animation->waitFrames = RandomBelow(kHoldRange) + kShortestHold;
}
