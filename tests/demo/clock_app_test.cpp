// The clock application's frame: the key test, the title frames, the ball's
// spin and the matrix stack (pictures that are missing or do not fit:
// reliability_test.cpp).
#include "clock_fixture.h"
#include "host/gx.h"
#include "host/messages.h"
#include "host/window.h"
#include "platform/display.h"
#include "render/renderer.h"
#include "resource/texture.h"

#include <cstring>

namespace {

// A, B, C and Start end the program, tested before the title frames (the
// direction keys do not); then ten title frames (the end-to-end run counts
// them too), then scene frames, each ending with the matrix stack at its
// bottom entry, the identity.
TEST_F(ClockTest, KeysAreTestedBeforeTenTitleFramesThenTheBallTurnsInSceneFramesOnly) {
    WritePictures();
    ClockApp& app = StartApp();
    const host::WindowHandle window = app.window->handle;
    for (uint16_t code : {host::kKeyCodeA, host::kKeyCodeB, host::kKeyCodeC, host::kKeyCodeStart}) {
        host::SendMessage(window, host::kMessageKeyDown, code, 0);
        app.OnFrame();
        EXPECT_TRUE(QuitPosted()) << code;
        host::SendMessage(window, host::kMessageKeyUp, code, 0);
    }
    EXPECT_EQ(app.introFrames, 10);
    EXPECT_EQ(host::GxCallCounts().beginDraw, 0);
    host::SendMessage(window, host::kMessageKeyDown, host::kKeyCodeUp, 0);
    SkipIntro();
    EXPECT_FALSE(QuitPosted());
    EXPECT_EQ(app.introFrames, 0);
    EXPECT_EQ(app.ballAngleX, 0);
    EXPECT_EQ(app.ballAngleY, 0);
    Matrix identity;
    MatrixIdentity(&identity);
    for (int frame = 1; frame <= 3; ++frame) {
        app.OnFrame();
        EXPECT_EQ(app.ballAngleY, 19 * frame);
        EXPECT_EQ(app.ballAngleX, 3 * frame);
        EXPECT_EQ(app.matrixTop, &app.matrixStack[0]);
        EXPECT_EQ(std::memcmp(app.matrixTop->m, identity.m, sizeof identity.m), 0);
    }
    EXPECT_EQ(FramePixelOnScreen(3, 3), BackgroundTexel(3, 3));
    // Becoming active again shows the title page once, without a new intro.
    app.OnActivate();
    EXPECT_EQ(FramePixelOnScreen(3, 3), 0);
    app.OnFrame();
    EXPECT_EQ(FramePixelOnScreen(3, 3), BackgroundTexel(3, 3));

    const int32_t blocks = allocCount;
    app.TearDown();
    app.TearDown(); // nothing left to release
    EXPECT_EQ(app.flowerTexture, nullptr);
    EXPECT_EQ(allocCount, blocks - 3);
}

// A released texture, or none, fits nothing.
TEST(TextureFits, NothingWithoutTexels) {
    Texture texture{};
    texture.width = texture.height = 256;
    EXPECT_FALSE(TextureFitsTriangles(&texture));
    EXPECT_FALSE(TextureFitsBackground(&texture));
    EXPECT_FALSE(TextureFitsTitle(&texture));
    EXPECT_FALSE(TextureFitsTriangles(nullptr));
}

} // namespace
