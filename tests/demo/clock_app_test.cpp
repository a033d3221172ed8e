// The clock application's frame: the key test, the title frames, the ball's
// spin, the matrix stack, and textures that are missing or do not fit.
#include "clock_fixture.h"
#include "host/gx.h"
#include "host/messages.h"
#include "host/window.h"
#include "platform/display.h"
#include "render/renderer.h"
#include "resource/texture.h"

#include <gtest/gtest.h>

namespace {

bool QuitPosted() {
    host::Message message{};
    while (host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove)) {
        if (message.message == host::kMessageQuit) return true;
    }
    return false;
}

bool IsIdentity(const Matrix& m) {
    for (int i = 0; i < 16; ++i) {
        if (m.m[i] != ((i % 5 == 0) ? 0x10000 : 0)) return false;
    }
    return true;
}

TEST_F(ClockTest, ButtonsEndTheProgramBeforeAnyTitleFrame) {
    WritePictures();
    ClockApp& app = StartApp();
    const host::WindowHandle window = app.window->handle;
    for (uint16_t code : {host::kKeyCodeA, host::kKeyCodeB, host::kKeyCodeC, host::kKeyCodeStart}) {
        QuitPosted(); // drain
        host::SendMessage(window, host::kMessageKeyDown, code, 0);
        const int drawsBefore = host::GxCallCounts().beginDraw;
        app.OnFrame();
        EXPECT_TRUE(QuitPosted()) << code;
        EXPECT_EQ(app.introFrames, 10); // the intro test comes after the keys
        EXPECT_EQ(host::GxCallCounts().beginDraw, drawsBefore);
        host::SendMessage(window, host::kMessageKeyUp, code, 0);
    }
    // The direction keys do not end it.
    host::SendMessage(window, host::kMessageKeyDown, host::kKeyCodeUp, 0);
    app.OnFrame();
    EXPECT_FALSE(QuitPosted());
    EXPECT_EQ(app.introFrames, 9);
}

TEST_F(ClockTest, TenTitleFramesThenTheSceneWhoseBallTurnsOnlyInSceneFrames) {
    WritePictures();
    ClockApp& app = StartApp();
    for (int frame = 1; frame <= 10; ++frame) {
        app.OnFrame();
        EXPECT_EQ(app.introFrames, 10 - frame);
        // The title page: black screen where the frame goes, the strip on top.
        EXPECT_EQ(FramePixelOnScreen(3, 3), 0) << frame;
        EXPECT_EQ(host::ScreenPixel(100, 20), kTitleTexel);
        EXPECT_EQ(app.ballAngleX, 0);
        EXPECT_EQ(app.ballAngleY, 0);
    }
    for (int frame = 1; frame <= 3; ++frame) {
        app.OnFrame();
        EXPECT_EQ(app.ballAngleY, 19 * frame);
        EXPECT_EQ(app.ballAngleX, 3 * frame);
        // Every frame ends with the stack at its bottom entry, the identity.
        EXPECT_EQ(app.matrixTop, &app.matrixStack[0]);
        EXPECT_TRUE(IsIdentity(app.matrixStack[0]));
        EXPECT_EQ(FramePixelOnScreen(3, 3), BackgroundTexel(3, 3));
        EXPECT_EQ(host::ScreenPixel(100, 20), kTitleTexel); // left in place
    }
    EXPECT_EQ(app.renderer->focalLength, 0xFA0000);
    EXPECT_EQ(app.renderer->ambientColor, 0u);

    // Becoming active again shows the title page once, without a new intro.
    app.OnActivate();
    EXPECT_EQ(FramePixelOnScreen(3, 3), 0);
    EXPECT_EQ(app.introFrames, 0);
    app.OnFrame();
    EXPECT_EQ(FramePixelOnScreen(3, 3), BackgroundTexel(3, 3));
    EXPECT_EQ(app.ballAngleY, 19 * 4);
}

TEST_F(ClockTest, SetUpPlacesTheFrameAndLoadsTheTexturesWithTheirLevels) {
    WritePictures();
    ClockApp& app = StartApp();
    EXPECT_EQ(app.display->frameOffset, -19200); // logical (40, 0)
    ASSERT_NE(app.flowerTexture, nullptr);
    EXPECT_EQ(app.flowerTexture->levelCount, 16);
    EXPECT_EQ(app.backgroundTexture->levelCount, 1);
    EXPECT_EQ(app.titleTexture->width, 40);
    EXPECT_TRUE(HasLine(u"al:FileOpen[\\hana01.zit]"));
    EXPECT_FALSE(HasLine(u"ZitLoadError"));

    const int32_t blocks = allocCount;
    app.TearDown();
    EXPECT_EQ(app.flowerTexture, nullptr);
    EXPECT_EQ(app.backgroundTexture, nullptr);
    EXPECT_EQ(app.titleTexture, nullptr);
    EXPECT_EQ(allocCount, blocks - 3);
    app.TearDown(); // nothing left to release
    EXPECT_EQ(allocCount, blocks - 3);
}

// The ball's middle, away from the hands at 3:00:40: the frame pixel 20
// columns right of and 20 rows above the centre.
uint16_t BallPixel() {
    return FramePixelOnScreen(140, 100);
}

TEST_F(ClockTest, MissingTexturesAreSkippedAndNeverRead) {
    ClockApp& app = StartApp();
    EXPECT_TRUE(HasLine(u"ZitLoadError"));
    ASSERT_NE(app.backgroundTexture, nullptr);
    EXPECT_EQ(app.backgroundTexture->texelBlock, nullptr);
    for (int32_t y = 0; y < 40; ++y)
        host::ScreenSetPixel(5, y, 0x1234);
    SkipIntro();
    // No strip: the title page leaves those rows black.
    EXPECT_EQ(host::ScreenPixel(5, 20), 0);
    app.OnFrame();
    // No background: the frame is cleared to black. The ball is shaded grey
    // from the white ramp.
    EXPECT_EQ(FramePixelOnScreen(3, 3), 0);
    const uint16_t ball = BallPixel();
    EXPECT_NE(ball, 0);
    EXPECT_EQ(ball >> 11, ball & 0x1F) << std::hex << ball; // red = blue: grey
    app.OnFrame();
    EXPECT_EQ(FramePixelOnScreen(3, 3), 0);
}

TEST_F(ClockTest, TexturesThatDoNotFitTheirUseAreSkipped) {
    // A ball texture that is not square, a background too narrow, a title
    // strip too low.
    WritePicture("hana01.zit", ZitBytes(16, 32, [](int32_t, int32_t) { return kFlowerTexel; }));
    WritePicture("yama01.zit", ZitBytes(239, 240, BackgroundTexel));
    WritePicture("title01.zit", ZitBytes(40, 239, [](int32_t, int32_t) { return kTitleTexel; }));
    ClockApp& app = StartApp();
    EXPECT_FALSE(HasLine(u"ZitLoadError"));
    EXPECT_FALSE(TextureFitsBall(app.flowerTexture));
    EXPECT_FALSE(TextureFitsBackground(app.backgroundTexture));
    EXPECT_FALSE(TextureFitsTitle(app.titleTexture));
    SkipIntro();
    EXPECT_EQ(host::ScreenPixel(100, 20), 0);
    app.OnFrame();
    EXPECT_EQ(FramePixelOnScreen(3, 3), 0);
    const uint16_t ball = BallPixel();
    EXPECT_NE(ball, 0);
    EXPECT_EQ(ball >> 11, ball & 0x1F) << std::hex << ball;
}

TEST(TextureFits, SizesForEachUse) {
    Texture texture{};
    uint16_t texel = 0;
    texture.texelBlock = &texel;
    texture.texels = &texel;
    auto sized = [&](uint16_t width, uint16_t height) {
        texture.width = width;
        texture.height = height;
        return &texture;
    };
    EXPECT_TRUE(TextureFitsBall(sized(128, 128)));
    EXPECT_TRUE(TextureFitsBall(sized(1, 1)));
    EXPECT_FALSE(TextureFitsBall(sized(96, 96)));
    EXPECT_FALSE(TextureFitsBall(sized(128, 64)));
    EXPECT_FALSE(TextureFitsBall(sized(0, 0)));
    EXPECT_TRUE(TextureFitsBackground(sized(240, 240)));
    EXPECT_TRUE(TextureFitsBackground(sized(256, 300)));
    EXPECT_FALSE(TextureFitsBackground(sized(240, 239)));
    EXPECT_TRUE(TextureFitsTitle(sized(40, 240)));
    EXPECT_FALSE(TextureFitsTitle(sized(39, 240)));
    EXPECT_FALSE(TextureFitsTitle(sized(40, 200)));
    texture.texelBlock = nullptr; // released: fits nothing
    EXPECT_FALSE(TextureFitsBall(sized(128, 128)));
    EXPECT_FALSE(TextureFitsBackground(sized(240, 240)));
    EXPECT_FALSE(TextureFitsTitle(sized(40, 240)));
    EXPECT_FALSE(TextureFitsBall(nullptr));
}

} // namespace
