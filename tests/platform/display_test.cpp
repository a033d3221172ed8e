#include "platform/display.h"

#include "host/debug_output.h"
#include "host/gx.h"
#include "host/raw_heap.h"
#include "host/screen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

int windowStandIn;
const auto kWindow = reinterpret_cast<host::WindowHandle>(&windowStandIn);

// The device's screen as the game-screen library reports it on a device
// whose memory is laid out landscape: rows of 320 pixels, 640 bytes apart,
// seen through portrait coordinates.
constexpr GXDisplayProperties kLandscapeScreen{240, 320, 640, -2, 16, kGXLandscape};

class DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override { UseScreen(host::DefaultScreenProperties()); }
    void TearDown() override {
        host::GxReset();
        host::RawHeapSetFaults({});
        host::ScreenSetUp(host::DefaultScreenProperties());
    }
    static void UseScreen(const GXDisplayProperties& properties) {
        host::GxReset();
        ASSERT_TRUE(host::ScreenSetUp(properties));
    }
};

uint16_t Pattern(int32_t row, int32_t column) {
    return static_cast<uint16_t>(row * 251 + column * 7 + 1);
}

void FillPattern(Display& display) {
    for (int32_t r = 0; r < display.frameHeight; ++r)
        for (int32_t c = 0; c < display.frameWidth; ++c)
            display.frameBuffer[r * display.frameWidth + c] = Pattern(r, c);
}

// Frame pixel (r, c) of the clock's 240x240 frame at logical (40, 0) shows at
// screen column r, row 279 - c on either kind of screen; rows 0-39 and
// 280-319 stay untouched.
void ExpectClockPlacement() {
    for (int32_t y = 0; y < 320; ++y) {
        for (int32_t x = 0; x < 240; ++x) {
            const uint16_t expected = (y >= 40 && y < 280) ? Pattern(x, 279 - y) : 0;
            ASSERT_EQ(host::ScreenPixel(x, y), expected) << "screen " << x << "," << y;
        }
    }
}

TEST_F(DisplayTest, OpensThePortraitScreenAsALandscapeLogicalScreen) {
    Display display;
    ASSERT_EQ(DisplayOpen(&display, kWindow), 1);
    EXPECT_EQ(display.width, 320);
    EXPECT_EQ(display.height, 240);
    EXPECT_EQ(display.xPitch, 480);
    EXPECT_EQ(display.yPitch, 2);
    EXPECT_EQ(display.bytesPerPixel, 2);
    EXPECT_EQ(display.bitsPerPixel, 16);
    EXPECT_EQ(display.originOffset, 153120);
    EXPECT_EQ(display.drawDepth, 0);
    DisplayPlace(&display, 40, 0);
    EXPECT_EQ(display.frameOffset, -19200);
    DisplayPlace(&display, 0, 0);
    EXPECT_EQ(display.frameOffset, 0);
    DisplayClose(&display);
    EXPECT_EQ(display.windowHandle, nullptr);
    EXPECT_EQ(host::GxCallCounts().closeDisplay, 1);
    DisplayClose(&display); // closing again does nothing
    EXPECT_EQ(host::GxCallCounts().closeDisplay, 1);
}

TEST_F(DisplayTest, RefusesSmallAndShallowScreensKeepingThePropertiesRead) {
    UseScreen({240, 240, 2, 480, 16, 0});
    {
        Display display(kWindow);
        EXPECT_EQ(display.width, 240);
        EXPECT_NE(display.windowHandle, nullptr);
    }
    const GXDisplayProperties refused[] = {
        {239, 320, 2, 478, 16, 0}, {240, 239, 2, 480, 16, 0}, {240, 320, 1, 120, 4, 0}};
    for (const GXDisplayProperties& properties : refused) {
        UseScreen(properties);
        Display display;
        EXPECT_EQ(DisplayOpen(&display, kWindow), 0);
        EXPECT_EQ(display.windowHandle, nullptr);
        EXPECT_EQ(host::GxCallCounts().closeDisplay, 1);
        EXPECT_EQ(display.width, static_cast<int32_t>(properties.width)); // not exchanged
        EXPECT_EQ(display.height, static_cast<int32_t>(properties.height));
        EXPECT_EQ(display.xPitch, properties.xPitch);
        EXPECT_EQ(display.originOffset, 0);
        EXPECT_EQ(display.bytesPerPixel, properties.bitsPerPixel >> 3);
    }
}

TEST_F(DisplayTest, AFailedOpenKeepsTheWindowSoCloseStillClosesTheLibrary) {
    host::GxSetFaults({true, false});
    Display display;
    EXPECT_EQ(DisplayOpen(&display, kWindow), 0);
    EXPECT_EQ(display.windowHandle, kWindow);
    EXPECT_EQ(host::GxCallCounts().getDisplayProperties, 0);
    EXPECT_EQ(display.width, 0);
    // Nothing can be drawn: the frame buffer still holds 16-bit pixels.
    ASSERT_NE(DisplayCreateFrameBuffer(&display, 4, 4), nullptr);
    EXPECT_EQ(display.frameSize, 0);
    std::memset(display.frameBuffer, 0xFF, 4 * 4 * 2);
    EXPECT_EQ(DisplayPresent(&display), 0);
    DisplayClose(&display);
    EXPECT_EQ(host::GxCallCounts().closeDisplay, 1);
    EXPECT_EQ(display.frameBuffer, nullptr);
}

TEST_F(DisplayTest, NestedBeginAndEndLockTheScreenOnce) {
    Display display(kWindow);
    ASSERT_EQ(DisplayBeginDraw(&display), 1);
    uint8_t* const screen = display.screen;
    EXPECT_EQ(screen, host::ScreenOrigin() + 153120);
    ASSERT_EQ(DisplayBeginDraw(&display), 1);
    EXPECT_EQ(display.drawDepth, 2);
    EXPECT_EQ(display.screen, screen);
    DisplayFillRect(&display, 0, 0, 1, 1, 0x1234);
    EXPECT_EQ(host::GxCallCounts().beginDraw, 1);
    DisplayEndDraw(&display);
    EXPECT_EQ(host::GxCallCounts().endDraw, 0);
    DisplayEndDraw(&display);
    EXPECT_EQ(host::GxCallCounts().endDraw, 1);
    EXPECT_EQ(display.screen, screen); // left as it was

    // An end without a begin changes nothing, so the next begin locks again.
    DisplayEndDraw(&display);
    EXPECT_EQ(display.drawDepth, 0);
    EXPECT_EQ(host::GxCallCounts().endDraw, 1);
    ASSERT_EQ(DisplayBeginDraw(&display), 1);
    EXPECT_EQ(host::GxCallCounts().beginDraw, 2);
    DisplayEndDraw(&display);

    // A lock that fails: depth unchanged, no drawing, no end.
    host::GxSetFaults({false, true});
    EXPECT_EQ(DisplayBeginDraw(&display), 0);
    EXPECT_EQ(display.drawDepth, 0);
    EXPECT_EQ(display.screen, nullptr);
    DisplayFillRect(&display, 0, 0, 320, 240, 0xFFFF);
    ASSERT_NE(DisplayCreateFrameBuffer(&display, 240, 240), nullptr);
    EXPECT_EQ(DisplayPresent(&display), 0);
    EXPECT_EQ(host::GxCallCounts().endDraw, 2);
    EXPECT_EQ(host::ScreenPixel(100, 100), 0);
}

TEST_F(DisplayTest, PresentTurnsTheFrameOntoAPortraitScreen) {
    Display display(kWindow);
    ASSERT_NE(DisplayCreateFrameBuffer(&display, 240, 240), nullptr);
    EXPECT_EQ(display.frameSize, 240 * 240 * 2);
    FillPattern(display);
    DisplayPlace(&display, 40, 0);
    EXPECT_EQ(DisplayPresent(&display), 1);
    EXPECT_EQ(display.drawDepth, 0);
    ExpectClockPlacement();
}

TEST_F(DisplayTest, PresentCopiesRowsStraightOntoALandscapeScreen) {
    UseScreen(kLandscapeScreen);
    Display display(kWindow);
    EXPECT_EQ(display.width, 320);
    EXPECT_EQ(display.height, 240);
    EXPECT_EQ(display.yPitch, 640);
    EXPECT_EQ(display.originOffset, -638);
    ASSERT_NE(DisplayCreateFrameBuffer(&display, 240, 240), nullptr);
    FillPattern(display);
    DisplayPlace(&display, 40, 0);
    EXPECT_EQ(display.frameOffset, 80);
    EXPECT_EQ(DisplayPresent(&display), 1);
    ExpectClockPlacement();
}

TEST_F(DisplayTest, CopyRectOnBothPathsHonoursTheSourceRowLength) {
    // A 40x240 strip out of an image 48 pixels wide, to logical (280, 0): the
    // top 40 screen rows, source row r up screen column r.
    std::vector<uint16_t> image(48 * 240);
    for (int32_t r = 0; r < 240; ++r)
        for (int32_t c = 0; c < 48; ++c)
            image[r * 48 + c] = Pattern(r, c);
    for (const GXDisplayProperties& screen : {host::DefaultScreenProperties(), kLandscapeScreen}) {
        for (int sixteen = 0; sixteen < 2; ++sixteen) {
            UseScreen(screen);
            Display display(kWindow);
            (sixteen ? DisplayCopyRect16 : DisplayCopyRect)(&display, 280, 0, 40, 240, image.data(),
                                                            48);
            for (int32_t x = 0; x < 240; ++x)
                for (int32_t y = 0; y < 41; ++y)
                    ASSERT_EQ(host::ScreenPixel(x, y), y < 40 ? Pattern(x, 39 - y) : 0)
                        << x << "," << y << " straight " << (screen.format != 0);
        }
    }
    // On the straight path an odd width loses its last pixel to the 32-bit
    // transfers and keeps it with the 16-bit ones.
    const uint16_t source[3] = {0x1111, 0x2222, 0x3333};
    for (int sixteen = 0; sixteen < 2; ++sixteen) {
        UseScreen(kLandscapeScreen);
        Display display(kWindow);
        (sixteen ? DisplayCopyRect16 : DisplayCopyRect)(&display, 0, 0, 3, 1, source, 3);
        EXPECT_EQ(host::ScreenPixel(0, 319), 0x1111);
        EXPECT_EQ(host::ScreenPixel(0, 318), 0x2222);
        EXPECT_EQ(host::ScreenPixel(0, 317), sixteen ? 0x3333 : 0);
    }
}

TEST_F(DisplayTest, FillRectOnBothPathsAndWithNothingToFill) {
    for (const GXDisplayProperties& screen : {host::DefaultScreenProperties(), kLandscapeScreen}) {
        UseScreen(screen);
        Display display(kWindow);
        DisplayFillRect(&display, 10, 20, 4, 6, 0xABCD);
        int filled = 0;
        for (int32_t y = 0; y < 320; ++y)
            for (int32_t x = 0; x < 240; ++x)
                if (host::ScreenPixel(x, y) != 0) ++filled;
        EXPECT_EQ(filled, 24);
        // Logical x 10..13 are screen rows 309..306, logical y 20..25 columns.
        EXPECT_EQ(host::ScreenPixel(20, 309), 0xABCD);
        EXPECT_EQ(host::ScreenPixel(25, 306), 0xABCD);
        EXPECT_EQ(host::ScreenPixel(26, 306), 0);
        EXPECT_EQ(host::ScreenPixel(20, 305), 0);

        const int begins = host::GxCallCounts().beginDraw;
        DisplayFillRect(&display, 0, 0, 0, 240, 0xFFFF);
        DisplayFillRect(&display, 0, 0, 320, 0, 0xFFFF);
        EXPECT_EQ(host::GxCallCounts().beginDraw, begins + 2);
        EXPECT_EQ(host::GxCallCounts().endDraw, begins + 2);
        EXPECT_EQ(host::ScreenPixel(0, 319), 0);

        DisplayFillRect(&display, 0, 0, display.width, display.height, 0x0841);
        for (int32_t y = 0; y < 320; y += 7)
            for (int32_t x = 0; x < 240; x += 3)
                ASSERT_EQ(host::ScreenPixel(x, y), 0x0841);
    }
}

TEST_F(DisplayTest, ClearFrameFillsEveryWord) {
    Display display(kWindow);
    ASSERT_NE(DisplayCreateFrameBuffer(&display, 6, 3), nullptr);
    DisplayClearFrame(&display, 0x001F);
    for (int i = 0; i < display.frameSize / 4; ++i) {
        uint32_t word;
        std::memcpy(&word, reinterpret_cast<uint8_t*>(display.frameBuffer) + 4 * i, 4);
        ASSERT_EQ(word, 0x001F001Fu);
    }
}

void Collect(const char16_t* text, void* context) {
    static_cast<std::u16string*>(context)->append(text);
}

TEST_F(DisplayTest, AFrameBufferThatCannotBeHadLeavesAnEmptyFrame) {
    Display display(kWindow);
    ASSERT_NE(DisplayCreateFrameBuffer(&display, 240, 240), nullptr);
    std::u16string lines;
    host::SetDebugListener(Collect, &lines);
    host::SetDebugToStderr(false);
    host::RawHeapResetCount();
    host::RawHeapSetFaults({1, 0});
    EXPECT_EQ(DisplayCreateFrameBuffer(&display, 240, 240), nullptr);
    host::SetDebugListener(nullptr, nullptr);
    host::SetDebugToStderr(true);
    EXPECT_EQ(lines, u"FrameBufferAllocError\r\n");
    EXPECT_EQ(display.frameBuffer, nullptr);
    EXPECT_EQ(display.frameWidth, 0);
    EXPECT_EQ(display.frameHeight, 0);
    EXPECT_EQ(display.frameSize, 0);
    DisplayClearFrame(&display, 0xFFFF);
    const int begins = host::GxCallCounts().beginDraw;
    EXPECT_EQ(DisplayPresent(&display), 0);
    EXPECT_EQ(host::GxCallCounts().beginDraw, begins);
}

} // namespace
