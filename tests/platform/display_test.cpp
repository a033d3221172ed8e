#include "platform/display.h"

#include "../debug_lines.h"
#include "host/gx.h"
#include "host/raw_heap.h"
#include "host/screen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace host;

int windowStandIn;
const auto kWindow = reinterpret_cast<WindowHandle>(&windowStandIn);

// A device whose screen memory is laid out landscape: rows of 320 pixels,
// 640 bytes apart, seen through portrait coordinates. Every drawing test runs
// on it (the straight path) and on the default portrait screen (the turned one).
constexpr GXDisplayProperties kLandscapeScreen{240, 320, 640, -2, 16, kGXLandscape};
const GXDisplayProperties kBothScreens[] = {DefaultScreenProperties(), kLandscapeScreen};

class DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override { UseScreen(DefaultScreenProperties()); }
    void TearDown() override {
        RawHeapSetFaults({});
        UseScreen(DefaultScreenProperties());
    }
    static void UseScreen(const GXDisplayProperties& properties) {
        GxReset();
        ASSERT_TRUE(ScreenSetUp(properties));
    }
};

uint16_t Pattern(int32_t row, int32_t column) {
    return static_cast<uint16_t>(row * 251 + column * 7 + 1);
}

TEST_F(DisplayTest, OpensOnlyScreensItCanDrawOnAndClosesOnce) {
    // (Where the logical screen lies on the device's is checked by drawing.)
    Display display;
    ASSERT_EQ(DisplayOpen(&display, kWindow), 1);
    DisplayClose(&display);
    DisplayClose(&display); // closing again does nothing
    EXPECT_EQ(GxCallCounts().closeDisplay, 1);
    EXPECT_EQ(display.windowHandle, nullptr);

    // Too narrow, too short, or not 16 bits deep (4 bits is too shallow; the
    // 16-bit drawing paths would run past an 8- or 32-bit screen's memory):
    // refused and closed, with the properties read left as they were (240x240
    // is enough).
    UseScreen({240, 240, 2, 480, 16, 0});
    EXPECT_NE(Display(kWindow).windowHandle, nullptr);
    const GXDisplayProperties refused[] = {{239, 320, 2, 478, 16, 0},
                                           {240, 239, 2, 480, 16, 0},
                                           {240, 320, 1, 120, 4, 0},
                                           {240, 320, 1, 240, 8, 0},
                                           {240, 320, 4, 960, 32, 0}};
    for (const GXDisplayProperties& properties : refused) {
        UseScreen(properties);
        Display small;
        EXPECT_EQ(DisplayOpen(&small, kWindow), 0);
        EXPECT_EQ(small.windowHandle, nullptr);
        EXPECT_EQ(GxCallCounts().closeDisplay, 1);
        EXPECT_EQ(small.width, static_cast<int32_t>(properties.width));
        EXPECT_EQ(small.height, static_cast<int32_t>(properties.height));
        EXPECT_EQ(small.originOffset, 0);
        EXPECT_EQ(small.bytesPerPixel, properties.bitsPerPixel >> 3);
    }

    // An open the library fails keeps the window, so close still closes the
    // library. The frame buffer still holds 16-bit pixels; nothing is shown.
    UseScreen(DefaultScreenProperties());
    GxSetFaults({true, false});
    Display failed;
    EXPECT_EQ(DisplayOpen(&failed, kWindow), 0);
    EXPECT_EQ(failed.windowHandle, kWindow);
    ASSERT_NE(DisplayCreateFrameBuffer(&failed, 4, 4), nullptr);
    std::memset(failed.frameBuffer, 0xFF, 4 * 4 * 2);
    EXPECT_EQ(DisplayPresent(&failed), 0);
    DisplayClose(&failed);
    EXPECT_EQ(GxCallCounts().closeDisplay, 1);
    EXPECT_EQ(failed.frameBuffer, nullptr);
}

TEST_F(DisplayTest, NestedBeginAndEndLockTheScreenOnce) {
    Display display(kWindow);
    ASSERT_EQ(DisplayBeginDraw(&display), 1);
    uint8_t* const screen = display.screen;
    EXPECT_EQ(screen, ScreenOrigin() + 153120);
    ASSERT_EQ(DisplayBeginDraw(&display), 1);
    EXPECT_EQ(display.screen, screen);
    DisplayFillRect(&display, 0, 0, 1, 1, 0x1234);
    EXPECT_EQ(GxCallCounts().beginDraw, 1);
    DisplayEndDraw(&display);
    EXPECT_EQ(GxCallCounts().endDraw, 0);
    DisplayEndDraw(&display);
    EXPECT_EQ(GxCallCounts().endDraw, 1);

    // An end without a begin changes nothing, so the next begin locks again.
    DisplayEndDraw(&display);
    EXPECT_EQ(display.drawDepth, 0);
    EXPECT_EQ(GxCallCounts().endDraw, 1);
    ASSERT_EQ(DisplayBeginDraw(&display), 1);
    EXPECT_EQ(GxCallCounts().beginDraw, 2);
    DisplayEndDraw(&display);

    // A lock that fails: depth unchanged, no drawing, no end.
    GxSetFaults({false, true});
    EXPECT_EQ(DisplayBeginDraw(&display), 0);
    EXPECT_EQ(display.drawDepth, 0);
    EXPECT_EQ(display.screen, nullptr);
    DisplayFillRect(&display, 0, 0, 320, 240, 0xFFFF);
    ASSERT_NE(DisplayCreateFrameBuffer(&display, 240, 240), nullptr);
    EXPECT_EQ(DisplayPresent(&display), 0);
    EXPECT_EQ(GxCallCounts().endDraw, 2);
    EXPECT_EQ(ScreenPixel(100, 100), 0);
}

// Checks every screen pixel against expected(x, y).
template <typename Expected>
void ExpectScreen(Expected expected) {
    for (int32_t y = 0; y < 320; ++y)
        for (int32_t x = 0; x < 240; ++x)
            ASSERT_EQ(ScreenPixel(x, y), expected(x, y)) << "screen " << x << "," << y;
}

// Logical (x, y) is screen column y, row 319 - x, whichever path draws it.
TEST_F(DisplayTest, PresentCopyAndFillPlacePixelsAlikeOnBothKindsOfScreen) {
    std::vector<uint16_t> image(48 * 240);
    for (int32_t i = 0; i < 48 * 240; ++i)
        image[i] = Pattern(i / 48, i % 48);
    for (const GXDisplayProperties& screen : kBothScreens) {
        SCOPED_TRACE(screen.format != 0 ? "straight" : "turned");
        UseScreen(screen);
        Display display(kWindow);
        // A 240x240 frame at logical (40, 0): rows 0-39 and 280-319 untouched.
        ASSERT_NE(DisplayCreateFrameBuffer(&display, 240, 240), nullptr);
        for (int32_t i = 0; i < 240 * 240; ++i)
            display.frameBuffer[i] = Pattern(i / 240, i % 240);
        DisplayPlace(&display, 40, 0);
        EXPECT_EQ(DisplayPresent(&display), 1);
        ExpectScreen(
            [](int32_t x, int32_t y) { return y >= 40 && y < 280 ? Pattern(x, 279 - y) : 0; });
        // A 40x240 strip of an image 48 pixels wide at logical (280, 0).
        for (auto copy : {DisplayCopyRect, DisplayCopyRect16}) {
            DisplayFillRect(&display, 0, 0, display.width, display.height, 0x0841);
            copy(&display, 280, 0, 40, 240, image.data(), 48);
            ExpectScreen([](int32_t x, int32_t y) { return y < 40 ? Pattern(x, 39 - y) : 0x0841; });
        }
        // A 4x6 fill at logical (10, 20); empty fills draw nothing.
        DisplayFillRect(&display, 0, 0, display.width, display.height, 0x0841);
        DisplayFillRect(&display, 10, 20, 4, 6, 0xABCD);
        DisplayFillRect(&display, 0, 0, 0, 240, 0xFFFF);
        DisplayFillRect(&display, 0, 0, 320, 0, 0xFFFF);
        ExpectScreen([](int32_t x, int32_t y) {
            return x >= 20 && x < 26 && y >= 306 && y < 310 ? 0xABCD : 0x0841;
        });
        EXPECT_EQ(display.drawDepth, 0);
        EXPECT_EQ(GxCallCounts().beginDraw, GxCallCounts().endDraw);
    }
    // On the straight path an odd width loses its last pixel to the 32-bit
    // transfers and keeps it with the 16-bit ones.
    const uint16_t source[3] = {0x1111, 0x2222, 0x3333};
    Display straight(kWindow); // the landscape screen, as the loop left it
    for (auto copy : {DisplayCopyRect, DisplayCopyRect16}) {
        copy(&straight, 0, 0, 3, 1, source, 3);
        EXPECT_EQ(ScreenPixel(0, 319), 0x1111);
        EXPECT_EQ(ScreenPixel(0, 318), 0x2222);
        EXPECT_EQ(ScreenPixel(0, 317), copy == DisplayCopyRect16 ? 0x3333 : 0x0841);
    }
}

TEST_F(DisplayTest, ClearFrameFillsEveryPixelAndAFrameBufferThatCannotBeHadLeavesNone) {
    Display display(kWindow);
    ASSERT_NE(DisplayCreateFrameBuffer(&display, 6, 3), nullptr);
    DisplayClearFrame(&display, 0x001F);
    for (int i = 0; i < 6 * 3; ++i)
        ASSERT_EQ(display.frameBuffer[i], 0x001F) << i;

    DebugLines lines;
    RawHeapResetCount();
    RawHeapSetFaults({1, 0});
    EXPECT_EQ(DisplayCreateFrameBuffer(&display, 240, 240), nullptr);
    EXPECT_EQ(lines.Take(), Lines{u"FrameBufferAllocError\r\n"});
    EXPECT_EQ(display.frameBuffer, nullptr);
    EXPECT_EQ(display.frameWidth, 0);
    EXPECT_EQ(display.frameHeight, 0);
    EXPECT_EQ(display.frameSize, 0);
    DisplayClearFrame(&display, 0xFFFF);
    EXPECT_EQ(DisplayPresent(&display), 0);
    EXPECT_EQ(GxCallCounts().beginDraw, 0);
}

} // namespace
