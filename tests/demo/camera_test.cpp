// The camera animation's states, their ends, and the choice of the next state
// from the device's generator.
#include "demo/camera.h"

#include "host/random.h"
#include "render/renderer.h"

#include <gtest/gtest.h>

namespace {

struct Choice {
    int32_t state;
    int32_t speed;
    int32_t waitFrames;
};

// What the next choice draws from the generator as it stands: state, speed,
// hold length, in that order. The generator is put back afterwards.
Choice NextChoice(uint32_t seed) {
    host::SeedRand(seed);
    Choice choice{};
    choice.state = RandomBelow(7);
    choice.speed = RandomBelow(136) + 22;
    choice.waitFrames = RandomBelow(30) + 5;
    host::SeedRand(seed);
    return choice;
}

CameraAnimation Started(Renderer* renderer = nullptr) {
    CameraAnimation animation{};
    CameraAnimationStart(&animation, renderer);
    return animation;
}

void ExpectChosen(const CameraAnimation& a, const Choice& c) {
    EXPECT_EQ(a.state, c.state);
    EXPECT_EQ(a.speed, c.speed);
    EXPECT_EQ(a.waitFrames, c.waitFrames);
}

TEST(Camera, StartsWithATwentyFrameHoldAndTheLightAsGiven) {
    Renderer renderer;
    CameraAnimation a = Started(&renderer);
    EXPECT_EQ(a.state, CameraHold);
    EXPECT_EQ(a.waitFrames, 20);
    EXPECT_EQ(a.zoom, 0);
    EXPECT_EQ(a.angleX, 0);
    EXPECT_EQ(a.angleY, 0);
    // (0, 0.5, 1.0) comes out of the normalisation unchanged.
    EXPECT_EQ(a.light.x, 0);
    EXPECT_EQ(a.light.y, 0x8000);
    EXPECT_EQ(a.light.z, 0x10000);
    EXPECT_EQ(renderer.lightDirection.y, 0x8000);
    EXPECT_EQ(renderer.lightDirection.z, 0x10000);

    // A hold of 20 frames lasts 22 steps.
    host::SeedRand(1);
    for (int step = 1; step <= 21; ++step) {
        AnimateCamera(&a, nullptr);
        EXPECT_EQ(a.waitFrames, 20 - step);
    }
    const Choice next = NextChoice(1);
    AnimateCamera(&a, nullptr);
    ExpectChosen(a, next);
}

TEST(Camera, HoldSeesOldValuesFiveDownToMinusOneThenChooses) {
    CameraAnimation a = Started();
    a.waitFrames = 5;
    host::SeedRand(77);
    for (int old = 5; old >= 0; --old) {
        AnimateCamera(&a, nullptr);
        EXPECT_EQ(a.state, CameraHold) << old;
        EXPECT_EQ(a.waitFrames, old - 1);
    }
    // The generator has not been drawn from while holding.
    const Choice next = NextChoice(77);
    AnimateCamera(&a, nullptr); // sees -1
    ExpectChosen(a, next);
    EXPECT_GE(a.speed, 22);
    EXPECT_LE(a.speed, 157);
}

TEST(Camera, TurnsMakeOneWholeTurnAndEndAtZero) {
    CameraAnimation a = Started();
    a.state = CameraTurnY;
    a.speed = 22;
    for (int i = 0; i < 186; ++i)
        AnimateCamera(&a, nullptr);
    EXPECT_EQ(a.state, CameraTurnY);
    EXPECT_EQ(a.angleY, 4092);
    const Choice next = NextChoice(5);
    AnimateCamera(&a, nullptr);
    EXPECT_EQ(a.angleY, 0);
    ExpectChosen(a, next);

    a = Started();
    a.state = CameraTurnX;
    a.speed = 157;
    int steps = 0;
    while (a.angleX < 4096 - 157) {
        AnimateCamera(&a, nullptr);
        ++steps;
    }
    EXPECT_EQ(steps, 26); // 26 * 157 = 4082
    AnimateCamera(&a, nullptr);
    EXPECT_EQ(a.angleX, 0);
    EXPECT_EQ(a.angleY, 0);
}

TEST(Camera, ZoomPulsePeaksAtAQuarterPhaseAndEndsAtRest) {
    CameraAnimation a = Started();
    a.state = CameraZoomPulse;
    a.speed = 128;
    for (int i = 0; i < 8; ++i)
        AnimateCamera(&a, nullptr);
    EXPECT_EQ(a.phase, 1024);
    EXPECT_EQ(a.zoom, 200 * 65536);
    for (int i = 0; i < 16; ++i)
        AnimateCamera(&a, nullptr);
    EXPECT_EQ(a.phase, 3072);
    EXPECT_EQ(a.zoom, -200 * 65536);
    for (int i = 0; i < 7; ++i)
        AnimateCamera(&a, nullptr);
    EXPECT_EQ(a.state, CameraZoomPulse);
    EXPECT_NE(a.zoom, 0);
    AnimateCamera(&a, nullptr); // phase reaches 4096: reset before the output
    EXPECT_EQ(a.phase, 0);
    EXPECT_EQ(a.zoom, 0);
}

TEST(Camera, SwingAndWobbleStepByHalfTheSpeed) {
    CameraAnimation a = Started();
    a.state = CameraSwing;
    a.speed = 257; // 128 per step
    for (int i = 0; i < 8; ++i)
        AnimateCamera(&a, nullptr);
    EXPECT_EQ(a.phase, 1024);
    EXPECT_EQ(a.angleY, 796);
    for (int i = 0; i < 16; ++i)
        AnimateCamera(&a, nullptr);
    EXPECT_EQ(a.angleY, -796); // arithmetic shift of a negative product

    a = Started();
    a.state = CameraWobble;
    a.speed = 157;
    AnimateCamera(&a, nullptr);
    EXPECT_EQ(a.phase, 78);
    EXPECT_EQ(a.angleY, (SineTable[468] * 796) >> 16);
    EXPECT_EQ(a.zoom, SineTable[78] * 500);
    AnimateCamera(&a, nullptr);
    EXPECT_EQ(a.phase, 156);
    EXPECT_EQ(a.angleY, (SineTable[936] * 796) >> 16);
    // The wobble's phase covers half a turn; its sixfold angle wraps the table.
    int steps = 2;
    while (a.phase != 0 && steps < 100) {
        AnimateCamera(&a, nullptr);
        ++steps;
    }
    EXPECT_EQ(steps, 27); // 27 * 78 = 2106 >= 2048
    EXPECT_EQ(a.zoom, 0);
    EXPECT_EQ(a.angleY, 0);
}

TEST(Camera, LightSweepTurnsTheRenderersLightAndPutsItBack) {
    Renderer renderer;
    CameraAnimation a = Started(&renderer);
    a.state = CameraLightSweep;
    a.speed = 157;
    AnimateCamera(&a, &renderer);
    Vector3 expected{SineTable[78 + 1024], SineTable[78], 0x10000};
    VectorNormalize(&expected);
    EXPECT_EQ(a.light.x, expected.x);
    EXPECT_EQ(a.light.y, expected.y);
    EXPECT_EQ(a.light.z, expected.z);
    EXPECT_EQ(renderer.lightDirection.x, expected.x);
    EXPECT_NE(renderer.lightDirection.x, 0);

    int steps = 1;
    while (a.phase != 0 && steps < 100) {
        AnimateCamera(&a, &renderer);
        ++steps;
    }
    EXPECT_EQ(steps, 53); // 53 * 78 = 4134 >= 4096
    EXPECT_EQ(a.phase, 0);
    EXPECT_EQ(renderer.lightDirection.x, 0);
    EXPECT_EQ(renderer.lightDirection.y, 0x8000);
    EXPECT_EQ(renderer.lightDirection.z, 0x10000);
    EXPECT_EQ(a.light.y, 0x8000);
}

TEST(Camera, AnUnknownStateDoesNothing) {
    CameraAnimation a = Started();
    a.state = 9;
    a.phase = 5;
    host::SeedRand(3);
    AnimateCamera(&a, nullptr);
    EXPECT_EQ(a.state, 9);
    EXPECT_EQ(a.phase, 5);
    const int next = host::Rand(); // nothing was drawn
    host::SeedRand(3);
    EXPECT_EQ(next, host::Rand());
}

} // namespace
