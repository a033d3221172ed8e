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

// Frame pixels the screen does not show (the first named).
testing::AssertionResult ScreenShowsFrame(const Display& display) {
    int32_t wrong = 0;
    testing::Message first;
    for (int32_t y = 0; y < display.frameHeight; ++y) {
        for (int32_t x = 0; x < display.frameWidth; ++x) {
            if (FramePixelOnScreen(x, y) == display.frameBuffer[y * display.frameWidth + x])
                continue;
            if (wrong++ == 0) first << ", the first at " << x << "," << y;
        }
    }
    if (wrong == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << wrong << " pixels not shown" << first;
}

// A scene frame presents only the tiles where it or the last one drew; after
// the title page has covered the screen, or a present has failed (several
// frames apart, the camera moving on), the next one brings the whole frame.
TEST_F(ClockTest, TheScreenShowsTheWholeFrameAfterTheTitlePageOrAFailedPresent) {
    WritePictures();
    ClockApp& app = StartApp();
    SkipIntro();
    for (int32_t i = 0; i < 3; ++i)
        app.OnFrame();
    EXPECT_TRUE(ScreenShowsFrame(*app.display));
    app.OnActivate();
    app.OnFrame();
    EXPECT_TRUE(ScreenShowsFrame(*app.display)) << "after the title page";
    host::GxSetFaults({false, true});
    for (int32_t i = 0; i < 40; ++i)
        app.OnFrame();
    host::GxSetFaults({});
    app.OnFrame();
    EXPECT_TRUE(ScreenShowsFrame(*app.display)) << "after failed presents";
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
