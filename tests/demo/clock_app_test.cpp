// The clock application's frame: the key test, the title frames, the ball's
// spin, the matrix stack, and textures that are missing or do not fit.
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

// A texture that failed to load, or does not fit its use, is skipped and never
// read: no title strip, no background (the frame cleared to black), and the
// ball shaded grey from the white ramp.
class SkippedTextures : public ClockTest {
  protected:
    void ExpectSkipped(bool loadError) {
        StartApp();
        EXPECT_EQ(HasLine(u"ZitLoadError"), loadError);
        for (int32_t y = 0; y < 40; ++y)
            host::ScreenSetPixel(5, y, 0x1234);
        SkipIntro();
        app_->OnFrame();
        EXPECT_EQ(host::ScreenPixel(5, 20), 0);
        EXPECT_EQ(FramePixelOnScreen(3, 3), 0);
        // The ball's middle, away from the hands at 3:00:40.
        const uint16_t ball = FramePixelOnScreen(140, 100);
        EXPECT_NE(ball, 0);
        EXPECT_EQ(ball >> 11, ball & 0x1F) << std::hex << ball; // red = blue: grey
    }
};

TEST_F(SkippedTextures, WhenMissing) {
    ExpectSkipped(true);
}

TEST_F(SkippedTextures, WhenTheyDoNotFit) { // not square, too narrow, too low
    WritePicture("hana01.zit", PlainZit(16, 32, kFlowerTexel));
    WritePicture("yama01.zit", BackgroundZit(239));
    WritePicture("title01.zit", PlainZit(40, 239, kTitleTexel));
    ExpectSkipped(false);
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
