#include "host/device.h"
#include "host/messages.h"
#include "host/screen.h"
#include "host/text_drawing.h"
#include "host/window.h"

#include <gtest/gtest.h>

#include <vector>

// The creation sequence as the program's window meets it, focus and the
// window procedure's chain are checked through the App (platform tests).
namespace {

std::vector<host::Message> seen; // what reached the window procedure
int32_t answerToCreate = 0;

std::vector<uint32_t> Numbers() {
    std::vector<uint32_t> numbers;
    for (const host::Message& m : seen)
        numbers.push_back(m.message);
    return numbers;
}

class WindowSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host::DeviceReset();
        seen.clear();
        answerToCreate = 0;
        host::WindowClass windowClass{};
        windowClass.procedure = [](host::WindowHandle window, uint32_t message, uint32_t word,
                                   int32_t longParam) {
            seen.push_back({window, message, word, longParam, 0});
            if (message == host::kMessageCreate) return answerToCreate;
            return host::DefWindowProc(window, message, word, longParam);
        };
        windowClass.background = host::GetStockObject(host::kStockBlackBrush);
        windowClass.className = u"recorder";
        ASSERT_NE(host::RegisterWindowClass(windowClass), 0);
        EXPECT_EQ(host::RegisterWindowClass(windowClass), 0); // the name is taken
        window_ =
            host::CreateWindow(0, u"recorder", u"title", kShown, host::kDefaultPosition,
                               host::kDefaultPosition, 80, 64, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { host::DeviceReset(); }

    static constexpr uint32_t kShown = host::kStylePopup | host::kStyleVisible;
    host::WindowHandle window_ = nullptr;
};

TEST_F(WindowSystemTest, CreationSendsItsMessagesAndARefusedWindowNeverExists) {
    EXPECT_EQ(Numbers(), (std::vector<uint32_t>{host::kMessageCreate, host::kMessageSize,
                                                host::kMessageMove, host::kMessageFocusGained}));
    EXPECT_EQ(seen[1].longParam, (64 << 16) | 80);
    EXPECT_EQ(host::GetFocusWindow(), window_);
    EXPECT_TRUE(host::WindowNeedsPaint(window_));

    answerToCreate = -1;
    seen.clear();
    EXPECT_EQ(host::CreateWindow(0, u"recorder", nullptr, kShown, 0, 0, 1, 1, nullptr, nullptr,
                                 nullptr, nullptr),
              nullptr);
    EXPECT_EQ(Numbers(), (std::vector<uint32_t>{host::kMessageCreate, host::kMessageDestroy}));
    EXPECT_EQ(host::CreateWindow(0, u"no such class", nullptr, 0, 0, 0, 1, 1, nullptr, nullptr,
                                 nullptr, nullptr),
              nullptr);
}

TEST_F(WindowSystemTest, PlacementPaintCloseAndAStaleHandle) {
    // No move, no z-order: the position stays, only the size changes.
    host::ScreenSetPixel(100, 100, 0xFFFF);
    seen.clear();
    ASSERT_TRUE(host::SetWindowPosition(window_, nullptr, 5, 5, 240, 320,
                                        host::kPositionNoMove | host::kPositionNoZOrder));
    EXPECT_EQ(Numbers(), (std::vector<uint32_t>{host::kMessageSize}));
    host::Rect rect{};
    host::GetWindowRect(window_, &rect);
    EXPECT_TRUE(rect.left == 0 && rect.top == 0 && rect.right == 240 && rect.bottom == 320);
    ASSERT_TRUE(host::UpdateWindow(window_));
    EXPECT_EQ(seen.back().message, host::kMessagePaint);
    EXPECT_EQ(host::ScreenPixel(100, 100), 0); // painted with the black brush
    EXPECT_FALSE(host::WindowNeedsPaint(window_));
    seen.clear();
    host::UpdateWindow(window_);
    EXPECT_TRUE(seen.empty());

    // Close goes to the default processing, which destroys the window.
    host::SendMessage(window_, host::kMessageClose, 0, 0);
    EXPECT_EQ(seen.back().message, host::kMessageDestroy);
    EXPECT_FALSE(host::IsWindow(window_));
    EXPECT_EQ(host::GetFocusWindow(), nullptr);
    EXPECT_EQ(host::GetWindowLong(window_, host::kWindowLongUserData), 0);
    EXPECT_FALSE(host::DestroyWindow(window_));
    EXPECT_FALSE(host::PostMessage(window_, host::kMessageCommand, 0, 0));
    EXPECT_EQ(host::SendMessage(window_, host::kMessageCommand, 0, 0), 0);
    EXPECT_EQ(host::GetDC(window_), nullptr);
}

TEST_F(WindowSystemTest, TheQueueTakesOneMessageAtATimeAndMakesPaintLast) {
    // Nothing posted: the window still needs painting, so paint comes, and
    // keeps coming until the window is painted.
    host::Message message{};
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove));
        EXPECT_EQ(message.message, host::kMessagePaint);
    }
    host::DispatchMessage(&message);
    EXPECT_FALSE(host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove));

    host::PostMessage(window_, host::kMessageKeyDown, 0x41, 1);
    host::PostQuitMessage(3);
    host::PostMessage(window_, host::kMessageCommand, 9, 0);
    ASSERT_TRUE(
        host::PeekMessage(&message, nullptr, host::kMessageCommand, host::kMessageCommand, 0));
    EXPECT_EQ(message.wordParam, 9u);
    EXPECT_EQ(host::PendingMessageCount(), 3); // looked at, not taken
    ASSERT_TRUE(host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove));
    EXPECT_EQ(message.message, host::kMessageKeyDown);
    EXPECT_TRUE(host::TranslateMessage(&message));
    EXPECT_EQ(host::PendingMessageCount(), 2); // the buttons make no characters
    seen.clear();
    host::DispatchMessage(&message);
    EXPECT_EQ(Numbers(), (std::vector<uint32_t>{host::kMessageKeyDown}));
    ASSERT_TRUE(host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove));
    EXPECT_EQ(message.message, host::kMessageQuit);
    EXPECT_EQ(message.wordParam, 3u);
    ASSERT_TRUE(host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove));
    EXPECT_EQ(message.message, host::kMessageCommand);

    // Device input goes to the program's window, a focus message only on a change.
    host::DevicePressKey(0xC1, true);
    host::DeviceStylus(host::kMessageStylusDown, 16, 319);
    host::DeviceStylus(host::kMessageStylusUp, 17, 300);
    host::DeviceFocus(true);
    host::DeviceFocus(false);
    host::DeviceClose();
    const uint32_t expected[][3] = {{host::kMessageKeyDown, 0xC1, 1},
                                    {host::kMessageStylusDown, 1, (319u << 16) | 16},
                                    {host::kMessageStylusUp, 0, (300u << 16) | 17},
                                    {host::kMessageFocusLost, 0, 0},
                                    {host::kMessageClose, 0, 0}};
    for (const auto& e : expected) {
        ASSERT_TRUE(host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove));
        EXPECT_EQ(message.window, window_);
        EXPECT_EQ(message.message, e[0]);
        EXPECT_EQ(message.wordParam, e[1]);
        EXPECT_EQ(static_cast<uint32_t>(message.longParam), e[2]);
    }
}

TEST_F(WindowSystemTest, TextIsDrawnInSixByThirteenCellsAndClipped) {
    host::SetWindowPosition(window_, nullptr, 0, 0, 240, 320, host::kPositionNoZOrder);
    for (int32_t y = 300; y < 320; ++y)
        for (int32_t x = 150; x < 240; ++x)
            host::ScreenSetPixel(x, y, 0x1234);

    host::DeviceContext context = host::GetDC(window_);
    ASSERT_NE(context, nullptr);
    host::SetTextColor(context, 0x00FFFF); // red and green: yellow
    host::SetBackgroundColor(context, 0);
    host::SetBackgroundMode(context, host::kBackgroundOpaque);
    host::Size size{};
    ASSERT_TRUE(host::MeasureText(context, u"KQ 3D Engine ", 13, &size));
    EXPECT_EQ(size.cx, 78); // exactly to the right edge from x 162
    EXPECT_EQ(size.cy, 13); // exactly to the bottom from y 307
    ASSERT_TRUE(host::DrawTextAt(context, 162, 307, 0, nullptr, u"KQ 3D Engine ", 13, nullptr));
    // The cells are covered (opaque), nothing around them is touched.
    for (int32_t y = 300; y < 320; ++y) {
        for (int32_t x = 150; x < 240; ++x) {
            const uint16_t pixel = host::ScreenPixel(x, y);
            if (x >= 162 && y >= 307)
                ASSERT_TRUE(pixel == 0xFFE0 || pixel == 0) << x << "," << y;
            else
                ASSERT_EQ(pixel, 0x1234) << x << "," << y;
        }
    }
    // 'K': its stem is the cell's first column from row 2 to row 10.
    EXPECT_EQ(host::ScreenPixel(162, 309), 0xFFE0);
    EXPECT_EQ(host::ScreenPixel(162, 317), 0xFFE0);
    EXPECT_EQ(host::ScreenPixel(162, 307), 0);
    EXPECT_EQ(host::ScreenPixel(163, 309), 0);

    // Transparent: only the ink is written. Text past the edges is cut.
    host::SetBackgroundMode(context, host::kBackgroundTransparent);
    host::SetTextColor(context, 0xFF0000); // blue
    host::ScreenSetPixel(0, 0, 0x1234);
    ASSERT_TRUE(host::DrawTextAt(context, -3, -5, 0, nullptr,
                                 u"\x263A||||||||||||||||||||||||||||||||||||||||||||||||", 49,
                                 nullptr));
    EXPECT_EQ(host::ScreenPixel(0, 0), 0x1234);
    ASSERT_TRUE(host::DrawTextAt(context, 230, 315, 0, nullptr, u"WWWW", 4, nullptr));
    EXPECT_EQ(host::ReleaseDC(window_, context), 1);
    EXPECT_EQ(host::OpenDeviceContextCount(), 0);
    EXPECT_EQ(host::ColorToPixel(0x0000FF), 0xF800);
    EXPECT_EQ(host::ColorToPixel(0xFF0000), 0x001F);
}

} // namespace
