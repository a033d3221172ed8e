// The camera animation's states, their ends, and the choice of the next state
// from the device's generator.
#include "demo/camera.h"

#include "host/random.h"
#include "render/renderer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A started animation put into `state` at `speed`.
CameraAnimation Started(int32_t state, int32_t speed, Renderer* renderer = nullptr) {
    CameraAnimation a{};
    CameraAnimationStart(&a, renderer);
    a.state = state;
    a.speed = speed;
    return a;
}

void Step(CameraAnimation* a, int steps, Renderer* renderer = nullptr) {
    for (int i = 0; i < steps; ++i)
        AnimateCamera(a, renderer);
}

std::vector<Fixed> Values(const Vector3& v) {
    return {v.x, v.y, v.z};
}

// Steps `a` once from the generator at `seed` and expects the choice drawn
// from it: state, speed and hold length, in that order.
void ExpectChoiceAfterStep(CameraAnimation* a, uint32_t seed) {
    host::SeedRand(seed);
    const int32_t state = RandomBelow(7);
    const int32_t speed = RandomBelow(136) + 22;
    const int32_t waitFrames = RandomBelow(30) + 5;
    host::SeedRand(seed);
    AnimateCamera(a, nullptr);
    EXPECT_EQ(a->state, state);
    EXPECT_EQ(a->speed, speed);
    EXPECT_EQ(a->waitFrames, waitFrames);
}

TEST(Camera, StartsHoldingAndAHoldSeesOldValuesFiveDownToMinusOneThenChooses) {
    Renderer renderer;
    CameraAnimation a = Started(CameraHold, 0, &renderer);
    EXPECT_EQ(a.waitFrames, 20);
    EXPECT_EQ(a.zoom | a.angleX | a.angleY, 0);
    // (0, 0.5, 1.0) comes out of the normalisation unchanged.
    EXPECT_EQ(Values(a.light), (std::vector<Fixed>{0, 0x8000, 0x10000}));
    EXPECT_EQ(Values(renderer.lightDirection), Values(a.light));

    a.waitFrames = 5;
    host::SeedRand(77);
    for (int old = 5; old >= 0; --old) {
        AnimateCamera(&a, nullptr);
        EXPECT_EQ(a.state, CameraHold) << old;
        EXPECT_EQ(a.waitFrames, old - 1);
    }
    ExpectChoiceAfterStep(&a, 77); // sees -1; nothing was drawn while holding
}

TEST(Camera, TurnsMakeOneWholeTurnAndEndAtZero) {
    const struct {
        int32_t state, speed, steps;
    } turns[] = {{CameraTurnY, 22, 187}, {CameraTurnX, 157, 27}};
    for (const auto& turn : turns) {
        CameraAnimation a = Started(turn.state, turn.speed);
        Step(&a, turn.steps - 1);
        EXPECT_EQ(a.state, turn.state);
        EXPECT_EQ(turn.state == CameraTurnX ? a.angleX : a.angleY,
                  (turn.steps - 1) * turn.speed); // 4092, 4082
        ExpectChoiceAfterStep(&a, 5);
        EXPECT_EQ(a.angleX | a.angleY, 0);
    }
}

TEST(Camera, ZoomPulsePeaksAtAQuarterPhaseAndEndsAtRest) {
    CameraAnimation a = Started(CameraZoomPulse, 128);
    Step(&a, 8);
    EXPECT_EQ(a.phase, 1024);
    EXPECT_EQ(a.zoom, 200 * 65536);
    Step(&a, 16);
    EXPECT_EQ(a.phase, 3072);
    EXPECT_EQ(a.zoom, -200 * 65536);
    Step(&a, 7);
    EXPECT_EQ(a.state, CameraZoomPulse);
    EXPECT_NE(a.zoom, 0);
    AnimateCamera(&a, nullptr); // phase reaches 4096: reset before the output
    EXPECT_EQ(a.phase, 0);
    EXPECT_EQ(a.zoom, 0);
}

TEST(Camera, SwingAndWobbleStepByHalfTheSpeed) {
    CameraAnimation a = Started(CameraSwing, 257); // 128 per step
    Step(&a, 8);
    EXPECT_EQ(a.phase, 1024);
    EXPECT_EQ(a.angleY, 796);
    Step(&a, 16);
    EXPECT_EQ(a.angleY, -796); // arithmetic shift of a negative product

    a = Started(CameraWobble, 157);
    for (int32_t phase : {78, 156}) {
        AnimateCamera(&a, nullptr);
        EXPECT_EQ(a.phase, phase);
        EXPECT_EQ(a.angleY, (SineTable[phase * 6] * 796) >> 16);
        EXPECT_EQ(a.zoom, SineTable[phase] * 500);
    }
    // The wobble's phase covers half a turn: 27 * 78 = 2106 >= 2048.
    Step(&a, 24);
    EXPECT_NE(a.phase, 0);
    AnimateCamera(&a, nullptr);
    EXPECT_EQ(a.phase, 0);
    EXPECT_EQ(a.zoom, 0);
    EXPECT_EQ(a.angleY, 0);
}

TEST(Camera, LightSweepTurnsTheRenderersLightAndPutsItBack) {
    Renderer renderer;
    CameraAnimation a = Started(CameraLightSweep, 157, &renderer);
    AnimateCamera(&a, &renderer);
    Vector3 expected{SineTable[78 + 1024], SineTable[78], 0x10000};
    VectorNormalize(&expected);
    EXPECT_EQ(Values(a.light), Values(expected));
    EXPECT_EQ(Values(renderer.lightDirection), Values(expected));
    EXPECT_NE(expected.x, 0);
    // 53 * 78 = 4134 >= 4096: a whole turn, then the light as at the start.
    Step(&a, 51, &renderer);
    EXPECT_NE(a.phase, 0);
    AnimateCamera(&a, &renderer);
    EXPECT_EQ(a.phase, 0);
    EXPECT_EQ(Values(renderer.lightDirection), (std::vector<Fixed>{0, 0x8000, 0x10000}));
    EXPECT_EQ(Values(a.light), Values(renderer.lightDirection));
}

} // namespace
