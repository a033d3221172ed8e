// The clock application's frame: the key test and the title frames (its
// pictures: the golden frames; damaged pictures: reliability_test.cpp).
#include "clock_fixture.h"
#include "host/gx.h"
#include "host/messages.h"
#include "host/window.h"
#include "resource/texture.h"

namespace {

// A, B, C and Start end the program, tested before the ten title frames (the
// direction keys do not).
TEST_F(ClockTest, KeysAreTestedBeforeTenTitleFramesAndTheTitleShowsAgainOnActivation) {
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
    app.OnFrame();
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
