#include "platform/display.h"

#include "../debug_lines.h"
#include "host/gx.h"
#include "host/raw_heap.h"
#include "host/screen.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace host;

int windowStandIn;
const auto kWindow = reinterpret_cast<WindowHandle>(&windowStandIn);

// Screen memory laid out landscape (rows of 320 pixels, 640 bytes apart) seen
// through portrait coordinates: the straight path; the default is turned.
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
    Display display;
    ASSERT_EQ(DisplayOpen(&display, kWindow), 1);
    DisplayClose(&display);
    DisplayClose(&display); // closing again does nothing
    EXPECT_EQ(GxCallCounts().closeDisplay, 1);
    EXPECT_EQ(display.windowHandle, nullptr);

    // Too narrow, too short, or not 16 bits deep (the 16-bit paths would run
    // past its memory): refused and closed, the properties read kept.
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

    // An open the library fails keeps the window, so close still closes it.
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

// Logical (x, y) is screen column y, row 319 - x, on either kind of screen
// (copies and fills follow the same rule: the presenter's golden screens).
TEST_F(DisplayTest, PresentPlacesTheFrameAlikeOnBothKindsOfScreen) {
    for (const GXDisplayProperties& screen : kBothScreens) {
        SCOPED_TRACE(screen.format != 0 ? "straight" : "turned");
        UseScreen(screen);
        Display display(kWindow);
        ASSERT_NE(DisplayCreateFrameBuffer(&display, 240, 240), nullptr);
        for (int32_t i = 0; i < 240 * 240; ++i)
            display.frameBuffer[i] = Pattern(i / 240, i % 240);
        DisplayPlace(&display, 40, 0);
        EXPECT_EQ(DisplayPresent(&display), 1);
        for (int32_t y = 0; y < 320; ++y)
            for (int32_t x = 0; x < 240; ++x)
                ASSERT_EQ(ScreenPixel(x, y), y >= 40 && y < 280 ? Pattern(x, 279 - y) : 0)
                    << "screen " << x << "," << y;
        EXPECT_EQ(display.drawDepth, 0);
        EXPECT_EQ(GxCallCounts().beginDraw, GxCallCounts().endDraw);
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
