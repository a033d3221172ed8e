#include "platform/display.h"

#include "../debug_lines.h"
#include "host/gx.h"
#include "host/raw_heap.h"
#include "host/screen.h"
#include "platform/frame_tiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

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

// Every byte of the screen memory.
std::vector<uint8_t> ScreenBytes() {
    const GXDisplayProperties& p = ScreenProperties();
    const int64_t lastX = static_cast<int64_t>(p.width - 1) * p.xPitch;
    const int64_t lastY = static_cast<int64_t>(p.height - 1) * p.yPitch;
    const int64_t low = std::min<int64_t>(0, lastX) + std::min<int64_t>(0, lastY);
    const int64_t high = std::max<int64_t>(0, lastX) + std::max<int64_t>(0, lastY);
    return std::vector<uint8_t>(ScreenOrigin() + low, ScreenOrigin() + high + 2);
}

// Frame A presented whole, then frame B (different everywhere) presented on
// random tiles: the screen as after presenting whole the frame that is B on
// those tiles and A elsewhere, or (where `whole`) B.
void ExpectTilesPresented(const GXDisplayProperties& screen, int32_t width, int32_t height,
                          bool whole) {
    ASSERT_TRUE(ScreenSetUp(screen));
    Display display(kWindow);
    ASSERT_NE(DisplayCreateFrameBuffer(&display, width, height), nullptr);
    DisplayPlace(&display, 40, 0);
    std::mt19937_64 random(static_cast<uint64_t>(width * height + screen.xPitch));
    FrameTiles tiles;
    FrameTilesClear(&tiles);
    for (uint64_t& row : tiles.rows)
        row = random() & random();
    // Frame A, B, or B on the tiles only.
    enum Shown { kA, kB, kBOnTiles };
    const auto frame = [&](Shown shown) {
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const bool onTile = (tiles.rows[y / 8] >> (x / 8) & 1) != 0;
                const bool b = shown == kB || (shown == kBOnTiles && onTile);
                display.frameBuffer[y * width + x] =
                    b ? static_cast<uint16_t>(~Pattern(y, x)) : Pattern(y, x);
            }
        }
    };
    frame(kA);
    ASSERT_EQ(DisplayPresent(&display), 1);
    frame(kB);
    ASSERT_EQ(DisplayPresentTiles(&display, tiles), 1);
    const std::vector<uint8_t> presented = ScreenBytes();
    frame(whole ? kB : kBOnTiles);
    ASSERT_EQ(DisplayPresent(&display), 1);
    EXPECT_EQ(presented, ScreenBytes());
    EXPECT_EQ(display.drawDepth, 0);
}

// Frames whose tiles are cut at the right and bottom, on turned and straight
// screens; a straight screen moves rows in 4-byte transfers, so where the
// frame's rows or the screen's row step are not whole transfers, the whole
// frame is presented as DisplayPresent places it.
TEST_F(DisplayTest, PresentTilesShowsTheMarkedTilesWherePresentPutsThem) {
    const struct {
        const char* what;
        GXDisplayProperties screen;
        int32_t width, height;
        bool whole;
    } cases[] = {
        {"turned", DefaultScreenProperties(), 240, 240, false},
        {"turned, cut tiles", DefaultScreenProperties(), 237, 229, false},
        {"turned, odd pitch", {240, 320, 2, 486, 16, 0}, 240, 240, false},
        {"straight", kLandscapeScreen, 240, 240, false},
        {"straight, cut tiles", kLandscapeScreen, 236, 229, false},
        {"straight, odd frame row", kLandscapeScreen, 237, 240, true},
        {"straight, odd step", {240, 320, 642, -2, 16, kGXLandscape}, 240, 240, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectTilesPresented(c.screen, c.width, c.height, c.whole);
    }
}

} // namespace
