#include "host/device.h"
#include "host/messages.h"
#include "host/screen.h"
#include "host/text_drawing.h"
#include "host/window.h"

#include <gtest/gtest.h>

#include <vector>

// The creation sequence, the procedure's chain, the loop and the text drawing
// are checked through the App (platform tests).
namespace {

using namespace host;

std::vector<uint32_t> seen; // the messages that reached the window procedure
int32_t sizeWord = 0;

class WindowSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DeviceReset();
        seen.clear();
        WindowClass windowClass{};
        windowClass.procedure = [](WindowHandle window, uint32_t message, uint32_t word,
                                   int32_t longParam) {
            seen.push_back(message);
            if (message == kMessageSize) sizeWord = longParam;
            return DefWindowProc(window, message, word, longParam);
        };
        windowClass.background = GetStockObject(kStockBlackBrush);
        windowClass.className = u"recorder";
        ASSERT_NE(RegisterWindowClass(windowClass), 0);
        EXPECT_EQ(RegisterWindowClass(windowClass), 0); // the name is taken
        window_ =
            CreateWindow(0, u"recorder", u"title", kStylePopup | kStyleVisible, kDefaultPosition,
                         kDefaultPosition, 80, 64, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { DeviceReset(); }

    WindowHandle window_ = nullptr;
};

TEST_F(WindowSystemTest, PaintComesLastAndAClosedWindowsHandleIsRefused) {
    EXPECT_EQ(sizeWord, (64 << 16) | 80);
    // Paint comes when nothing else waits, until dispatched (the black brush).
    ScreenSetPixel(10, 10, 0xFFFF);
    PostMessage(window_, kMessageCommand, 0, 0);
    Message message{};
    for (uint32_t expected : {kMessageCommand, kMessagePaint, kMessagePaint}) {
        ASSERT_TRUE(PeekMessage(&message, nullptr, 0, 0, kPeekRemove));
        EXPECT_EQ(message.message, expected);
    }
    DispatchMessage(&message);
    EXPECT_EQ(ScreenPixel(10, 10), 0);
    EXPECT_FALSE(PeekMessage(&message, nullptr, 0, 0, kPeekRemove));
    EXPECT_FALSE(WindowNeedsPaint(window_));

    // Close goes to the default processing, which destroys the window.
    seen.clear();
    SendMessage(window_, kMessageClose, 0, 0);
    EXPECT_EQ(seen, (std::vector<uint32_t>{kMessageClose, kMessageDestroy}));
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(GetFocusWindow(), nullptr);
    EXPECT_EQ(GetWindowLong(window_, kWindowLongUserData), 0);
    EXPECT_FALSE(DestroyWindow(window_));
    EXPECT_FALSE(PostMessage(window_, kMessageCommand, 0, 0));
    EXPECT_EQ(SendMessage(window_, kMessageCommand, 0, 0), 0);
    EXPECT_EQ(GetDC(window_), nullptr);
}

// A full queue refuses posts and changes nothing; quit still comes, last.
TEST_F(WindowSystemTest, AFullQueueRefusesPostsAndStillDeliversQuit) {
    Message message{};
    while (PeekMessage(&message, nullptr, 0, 0, kPeekRemove))
        DispatchMessage(&message);
    uint32_t accepted = 0;
    for (uint32_t i = 0; i < 100000; ++i)
        accepted += PostMessage(window_, kMessageCommand, i, 0) ? 1 : 0;
    EXPECT_LT(accepted, 100000u);
    EXPECT_EQ(PendingMessageCount(), static_cast<int>(accepted));
    DevicePressKey(0x26, true); // device input is refused too
    EXPECT_EQ(RefusedMessageCount(), 100000u - accepted + 1);
    PostQuitMessage(5);
    PostQuitMessage(6); // one quit waits at most, with the last code
    for (uint32_t i = 0; i < accepted; ++i) {
        ASSERT_TRUE(PeekMessage(&message, nullptr, 0, 0, kPeekRemove));
        ASSERT_EQ(message.wordParam, i);
    }
    ASSERT_TRUE(PeekMessage(&message, nullptr, 0, 0, kPeekRemove));
    EXPECT_EQ(message.message, kMessageQuit);
    EXPECT_EQ(message.wordParam, 6u);
    // Nothing but a paint may follow.
    if (PeekMessage(&message, nullptr, 0, 0, kPeekRemove)) {
        EXPECT_EQ(message.message, kMessagePaint);
    }
}

TEST_F(WindowSystemTest, DeviceInputReachesTheProgramsWindowInOrder) {
    UpdateWindow(window_); // nothing left to paint
    DevicePressKey(0xC1, true);
    DeviceStylus(kMessageStylusDown, 16, 319);
    DeviceStylus(kMessageStylusUp, 17, 300);
    DeviceFocus(true); // no change: nothing posted
    DeviceFocus(false);
    PostQuitMessage(3);
    DeviceClose();
    const uint32_t expected[][3] = {{kMessageKeyDown, 0xC1, 1},
                                    {kMessageStylusDown, 1, (319u << 16) | 16},
                                    {kMessageStylusUp, 0, (300u << 16) | 17},
                                    {kMessageFocusLost, 0, 0},
                                    {kMessageQuit, 3, 0},
                                    {kMessageClose, 0, 0}};
    Message message{};
    for (const auto& e : expected) {
        ASSERT_TRUE(PeekMessage(&message, nullptr, 0, 0, kPeekRemove));
        EXPECT_EQ(message.window, e[0] == kMessageQuit ? nullptr : window_);
        EXPECT_EQ(message.message, e[0]);
        EXPECT_EQ(message.wordParam, e[1]);
        EXPECT_EQ(static_cast<uint32_t>(message.longParam), e[2]);
        EXPECT_EQ(TranslateMessage(&message), e[0] == kMessageKeyDown);
    }
    EXPECT_EQ(PendingMessageCount(), 0); // the buttons make no characters
}

} // namespace
