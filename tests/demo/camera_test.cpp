// The camera animation's states, their ends, and the choice of the next.
#include "demo/camera.h"

#include "host/random.h"
#include "render/renderer.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

std::vector<Fixed> Values(const Vector3& v) {
    return {v.x, v.y, v.z};
}

TEST(Camera, StartsHoldingAndAHoldSeesOldValuesFiveDownToMinusOneThenChooses) {
    Renderer renderer;
    CameraAnimation a{};
    CameraAnimationStart(&a, &renderer);
    EXPECT_EQ(a.state, CameraHold);
    EXPECT_EQ(a.waitFrames, 20);
    EXPECT_EQ(a.zoom, 0);
    EXPECT_EQ(a.angleX, 0);
    EXPECT_EQ(a.angleY, 0);
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
    // The step that sees -1 chooses a state, speed and hold within range.
    AnimateCamera(&a, nullptr);
    EXPECT_GE(a.state, CameraHold);
    EXPECT_LE(a.state, CameraLightSweep);
    EXPECT_GE(a.speed, 22);
    EXPECT_LE(a.speed, 157);
    EXPECT_GE(a.waitFrames, 5);
    EXPECT_LE(a.waitFrames, 34);
}

// Each state alone for some steps; its last step resets its phase (or turn)
// before the outputs are made. Unset outputs are not checked.
TEST(Camera, StatesStepAndEndAsTheirSpeedSays) {
    const struct {
        int32_t state, speed, steps, phase;
        std::optional<Fixed> zoom, angleX, angleY;
    } runs[] = {
        {CameraTurnY, 22, 186, 0, 0, 0, 4092}, // the 187-step turn at speed 22
        {CameraTurnY, 22, 187, 0, 0, 0, 0},
        {CameraTurnX, 157, 26, 0, 0, 4082, 0},
        {CameraTurnX, 157, 27, 0, 0, 0, 0},
        {CameraZoomPulse, 128, 8, 1024, 200 << 16, 0, 0}, // the peak at a quarter phase
        {CameraZoomPulse, 128, 24, 3072, -200 << 16, 0, 0},
        {CameraZoomPulse, 128, 31, 3968, {}, 0, 0},
        {CameraZoomPulse, 128, 32, 0, 0, 0, 0},
        {CameraSwing, 257, 8, 1024, 0, 0, 796}, // half the speed a step
        {CameraSwing, 257, 24, 3072, 0, 0, -796},
        // sin 2176 is -12785/65536; -12785 * 796 shifts toward minus infinity.
        {CameraSwing, 257, 17, 2176, 0, 0, -156},
        // The wobble swings at six times its phase: sin 78 and sin 468.
        {CameraWobble, 157, 1, 78, 3911000, 0, 523},
        {CameraWobble, 157, 2, 156, 7766500, 0, 788},
        {CameraWobble, 157, 26, 2028, {}, 0, {}},   // half a turn of phase ...
        {CameraWobble, 157, 27, 0, 0, 0, 0},        // ... is 27 steps of 78
        {CameraLightSweep, 157, 52, 4056, 0, 0, 0}, // a whole turn: 53 steps
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(testing::Message() << "state " << run.state << ", " << run.steps << " steps");
        CameraAnimation a{};
        CameraAnimationStart(&a, nullptr);
        a.state = run.state;
        a.speed = run.speed;
        host::SeedRand(1);
        for (int i = 0; i < run.steps; ++i)
            AnimateCamera(&a, nullptr);
        EXPECT_EQ(a.phase, run.phase);
        EXPECT_EQ(a.zoom, run.zoom.value_or(a.zoom));
        EXPECT_EQ(a.angleX, run.angleX.value_or(a.angleX));
        EXPECT_EQ(a.angleY, run.angleY.value_or(a.angleY));
    }
}

TEST(Camera, LightSweepTurnsTheRenderersLightAndPutsItBack) {
    Renderer renderer;
    CameraAnimation a{};
    CameraAnimationStart(&a, &renderer);
    a.state = CameraLightSweep;
    a.speed = 157;
    AnimateCamera(&a, &renderer);
    Vector3 expected{Cos(78), Sin(78), 0x10000};
    VectorNormalize(&expected);
    EXPECT_EQ(Values(a.light), Values(expected));
    EXPECT_EQ(Values(renderer.lightDirection), Values(expected));
    for (int i = 1; i < 53; ++i)
        AnimateCamera(&a, &renderer);
    EXPECT_EQ(a.phase, 0);
    EXPECT_EQ(Values(renderer.lightDirection), (std::vector<Fixed>{0, 0x8000, 0x10000}));
}

} // namespace
