#include "platform/app.h"

#include "../debug_lines.h"
#include "failing_new.h"
#include "host/clock.h"
#include "host/device.h"
#include "host/gx.h"
#include "host/messages.h"
#include "host/screen.h"
#include "host/text_drawing.h"
#include "host/window.h"
#include "host/window_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace host;

std::vector<uint32_t> defaults; // messages that reached the default processing
std::string trail;              // hook, OnMessage and default processing, in turn

class TestApp : public App {
  public:
    TestApp() : App(&instance, 240, 240, u"test") {}

    // Ends at quitAtFrame, when Start is held, or (a test gone wrong) after 1000 frames.
    void OnFrame() override {
        if (++frames == quitAtFrame || frames > 1000) PostQuitMessage(0);
        if (currentKeyInput != nullptr && (currentKeyInput->keys & KeyStart) != 0)
            return PostQuitMessage(0);
        ++drawn;
        if (display != nullptr) DisplayPresent(display);
    }
    void OnPaint() override { events += "paint;"; }
    void OnDeactivate() override { Note("off"); }
    void OnActivate() override { Note("on"); }
    void Note(const char* what) {
        events += std::string(what) + " " + std::to_string(active) +
                  std::to_string(GxCallCounts().suspend) + std::to_string(GxCallCounts().resume) +
                  ";";
    }

    static int instance;
    int frames = 0;
    int drawn = 0;
    int quitAtFrame = 0;
    std::string events; // "off"/"on" with active, suspends and resumes at the call
};
int TestApp::instance;

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DeviceReset();
        SetTickCountFixed(5000);
        defaults.clear();
        SetDefaultProcessingListener(
            [](WindowHandle, uint32_t message, void*) {
                defaults.push_back(message);
                trail += "default;";
            },
            nullptr);
    }
    void TearDown() override {
        refuseNothrowNewOfSize = 0;
        SetTickCountReal();
        DeviceReset();
    }
    DebugLines debugLines_;
};

TEST_F(AppTest, ConstructionInstallsTheHookOnlyAfterTheWindowIsSizedAndShown) {
    {
        TestApp app;
        // Creation: before the user data points at the Window, so straight to
        // the default processing. Sizing and showing: through OnMessage to the
        // default processing, never through the hook, so the focus message
        // resumed nothing and the paint reached no OnPaint.
        EXPECT_EQ(defaults, (std::vector<uint32_t>{kMessageCreate, kMessageSize, kMessageMove,
                                                   kMessageFocusGained, kMessageSetText,
                                                   kMessageSize, kMessagePaint}));
        EXPECT_EQ(GxCallCounts().resume, 0);
        EXPECT_EQ(app.events, "");
        EXPECT_EQ(app.active, 0);
        ASSERT_NE(app.window, nullptr);
        Rect rect{};
        ASSERT_TRUE(GetWindowRect(app.window->handle, &rect));
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.right, 240);
        EXPECT_EQ(rect.bottom, 320);
        EXPECT_EQ(app.window->messageHook, AppMessageHook);
        EXPECT_EQ(app.timer.startTick, 5000u);
        EXPECT_EQ(debugLines_.Take(), Lines{});
    }
    // Released: input and display closed, window destroyed (its destroy
    // message still went through the hook, which posted quit).
    EXPECT_EQ(currentApp, nullptr);
    EXPECT_EQ(currentKeyInput, nullptr);
    EXPECT_EQ(GxCallCounts().closeInput, 1);
    EXPECT_EQ(GxCallCounts().closeDisplay, 1);
    EXPECT_EQ(PendingMessageCount(), 1);
}

int hookAnswer = 1;
int onMessageAnswer = 1;

class RecordingWindow : public Window {
  public:
    RecordingWindow() : Window(nullptr, nullptr, u"chain") {}
    int32_t OnMessage(WindowHandle, uint32_t, uint32_t, int32_t) override {
        trail += "on;";
        return onMessageAnswer;
    }
};

TEST_F(AppTest, TheWindowProcedureGoesHookThenOnMessageThenDefault) {
    trail.clear();
    RecordingWindow window;
    ASSERT_NE(window.handle, nullptr);
    EXPECT_EQ(trail.find("on;"), std::string::npos); // nothing of creation reached OnMessage
    window.messageHook = [](WindowHandle, uint32_t, uint32_t, int32_t) {
        trail += "hook;";
        return static_cast<int32_t>(hookAnswer);
    };
    const std::pair<int, int> answers[] = {{0, 1}, {1, 0}, {1, 1}, {2, 5}};
    const char* const trails[] = {"hook;", "hook;on;", "hook;on;default;", "hook;on;default;"};
    for (int i = 0; i < 4; ++i) {
        trail.clear();
        std::tie(hookAnswer, onMessageAnswer) = answers[i];
        EXPECT_EQ(SendMessage(window.handle, kMessageCommand, 0, 0), 0);
        EXPECT_EQ(trail, trails[i]);
    }
    hookAnswer = onMessageAnswer = 1;
    // The Window's own OnMessage: destroy posts quit and ends the chain.
    EXPECT_EQ(window.Window::OnMessage(window.handle, kMessagePaint, 0, 0), 1);
    EXPECT_EQ(window.Window::OnMessage(window.handle, kMessageDestroy, 0, 0), 0);
    EXPECT_EQ(PendingMessageCount(), 1);
}

TEST_F(AppTest, TheHookHandlesItsMessagesAndPassesTheRestOn) {
    TestApp app;
    const WindowHandle window = app.window->handle;
    // {message, answer, default processings}. Command: default processing
    // inside the hook, whose 0 ends the chain. Setting the text answers 1: the
    // chain goes on to OnMessage and the default processing runs again.
    const uint32_t cases[][3] = {{kMessageCommand, 0, 1},       {kMessageSetText, 1, 2},
                                 {kMessageSettingChange, 0, 0}, {kMessagePaint, 0, 0},
                                 {kMessageFocusLost, 0, 0},     {kMessageFocusGained, 0, 0}};
    for (const auto& c : cases) {
        defaults.clear();
        EXPECT_EQ(SendMessage(window, c[0], 0, 0), static_cast<int32_t>(c[1])) << c[0];
        EXPECT_EQ(defaults.size(), c[2]) << c[0];
    }
    EXPECT_EQ(app.events, "paint;off 000;on 111;");

    // Keys: the word parameter's low 16 bits are the code; without the input
    // they change nothing.
    defaults.clear();
    SendMessage(window, kMessageKeyDown, 0x10000 | kKeyCodeA, 0);
    EXPECT_EQ(currentKeyInput->keys, KeyA);
    SendMessage(window, kMessageKeyUp, kKeyCodeA, 0);
    KeyInput* const input = currentKeyInput;
    currentKeyInput = nullptr;
    EXPECT_EQ(SendMessage(window, kMessageKeyDown, kKeyCodeA, 0), 0);
    currentKeyInput = input;
    EXPECT_EQ(input->keys, 0u);
    EXPECT_TRUE(defaults.empty());

    // Stylus {message, word, position, buttons, x, y}: the position is split
    // without sign extension; down and move hold the 0x10000 bit, up stores
    // the word alone. The chain goes on to the default processing.
    const uint32_t strokes[][6] = {{kMessageStylusDown, 1, 0xFFFF0010u, 0x10001u, 16, 65535},
                                   {kMessageStylusMove, 0, 0x0014001Eu, 0x10000u, 30, 20},
                                   {kMessageStylusUp, 0, 0x0015001Fu, 0, 31, 21}};
    for (const auto& s : strokes) {
        defaults.clear();
        SendMessage(window, s[0], s[1], static_cast<int32_t>(s[2]));
        EXPECT_EQ(defaults.size(), 1u);
        EXPECT_EQ(app.stylusButtons, s[3]);
        EXPECT_EQ(app.stylusX, s[4]);
        EXPECT_EQ(app.stylusY, s[5]);
    }
    currentApp = nullptr; // no App: nothing is recorded
    EXPECT_EQ(AppMessageHook(window, kMessageStylusDown, 1, 0x00050005), 1);
    currentApp = &app;
    EXPECT_EQ(app.stylusX, 31u);
}

// The device presses Start after the frames asked for, counting only those
// drawn with the focus.
TEST_F(AppTest, FocusDecidesWhetherFramesAreMadeAndTheQuitPassMakesNone) {
    TestApp app;
    for (uint32_t message :
         {kMessageFocusLost, kMessageCommand, kMessageCommand, kMessageFocusGained})
        PostMessage(app.window->handle, message, 0, 0);
    DeviceSetStartAfterFrames(5);
    app.Run();
    // Pass 1 loses the focus; passes 2-3 take messages without frames; pass 4
    // regains it and draws frame 1; frame 6 sees Start and posts quit, and the
    // pass that takes it draws nothing. OnDeactivate comes before the suspend,
    // OnActivate after the resume, each seeing the new activity.
    EXPECT_EQ(app.drawn, 5);
    EXPECT_EQ(app.frames, 6);
    EXPECT_EQ(GxCallCounts().endDraw, 5);
    EXPECT_EQ(PendingMessageCount(), 0);
    EXPECT_EQ(app.events, "off 000;on 111;");

    // Destroy: inactive at once and quit, so no frame follows.
    app.frames = 0;
    PostMessage(app.window->handle, kMessageDestroy, 0, 0);
    app.Run();
    EXPECT_EQ(app.frames, 0);
    EXPECT_EQ(app.active, 0);
}

TEST_F(AppTest, DrawCaptionDrawsSixByThirteenCellsOpaqueOrTransparent) {
    TestApp app;
    for (int32_t y = 0; y < 320; ++y)
        for (int32_t x = 0; x < 240; ++x)
            ScreenSetPixel(x, y, 0x1234);
    // 'K' in yellow (red 255, green 255) on opaque black: its stem is the
    // cell's first column from row 2 to row 10; the next cell starts at x 6.
    const DeviceColor yellow = PackDeviceColor(0xFF, 0xFF, 0);
    app.DrawCaption(0, 0, yellow, 0, u"KK");
    const struct {
        int32_t x, y;
        uint16_t pixel;
    } kk[] = {{0, 2, 0xFFE0}, {0, 10, 0xFFE0}, {6, 2, 0xFFE0},  {0, 0, 0},
              {1, 2, 0},      {11, 12, 0},     {12, 2, 0x1234}, {0, 13, 0x1234}};
    for (const auto& p : kk)
        EXPECT_EQ(ScreenPixel(p.x, p.y), p.pixel) << p.x << "," << p.y;
    // The clock's caption: 13 cells from (162, 307) reach exactly the corner.
    app.DrawCaption(162, 307, yellow, 0, u"KQ 3D Engine ");
    EXPECT_EQ(ScreenPixel(161, 309), 0x1234);
    EXPECT_EQ(ScreenPixel(200, 306), 0x1234);
    EXPECT_EQ(ScreenPixel(239, 319), 0);

    ScreenSetPixel(1, 2, 0x1234);
    app.DrawCaption(0, 0, 0xFF0000FF, -1, u"K%d", 7); // top byte dropped: red
    EXPECT_EQ(ScreenPixel(0, 2), 0xF800);
    EXPECT_EQ(ScreenPixel(1, 2), 0x1234); // transparent
    EXPECT_EQ(ColorToPixel(0xFF0000), 0x001F);
    // A text longer than the 256-character buffer is cut, not overrun.
    app.DrawCaption(0, 0, 0xFF0000, -1, u"%s", std::u16string(400, u'|').c_str());
    EXPECT_EQ(OpenDeviceContextCount(), 0);
}

// An App whose window, its device object, display or key input cannot be had
// still runs: what would use the missing object is skipped.
TEST_F(AppTest, ObjectsThatCannotBeAllocatedAreLeftOut) {
    // In the order the App allocates them: sizes may repeat (the window record
    // and the Display on a 32-bit build), so the n-th request of a size is refused.
    enum Refused { kWindow, kWindowObject, kDisplay, kKeyInput };
    const size_t sizes[] = {sizeof(Window), sizeof(WindowObject), sizeof(Display),
                            sizeof(KeyInput)};
    for (int refused = kWindow; refused <= kKeyInput; ++refused) {
        SCOPED_TRACE(refused);
        DeviceReset(); // each App leaves the quit its destroy message posted
        debugLines_.Take();
        const size_t size = sizes[refused];
        RefuseNthNothrowNewOfSize(size,
                                  1 + static_cast<int>(std::count(sizes, sizes + refused, size)));
        TestApp app;
        RefuseNthNothrowNewOfSize(0, 0);
        EXPECT_EQ(app.window == nullptr, refused == kWindow);
        EXPECT_EQ(app.display == nullptr, refused == kDisplay);
        EXPECT_EQ(currentKeyInput == nullptr, refused == kKeyInput);
        const bool noHandle = app.window == nullptr || app.window->handle == nullptr;
        EXPECT_EQ(noHandle, refused == kWindowObject || refused == kWindow);
        EXPECT_EQ(debugLines_.Take(),
                  refused == kWindowObject ? Lines{u"WindowOpenError\r\n"} : Lines{});
        if (noHandle) {
            EXPECT_EQ(app.display->windowHandle, nullptr); // no window: no screen
        } else {
            SendMessage(app.window->handle, kMessageKeyDown, kKeyCodeB, 0);
        }
        app.DrawCaption(0, 0, 0xFFFFFF, 0, u"x");
        app.quitAtFrame = 2;
        app.Run();
        EXPECT_EQ(app.frames, 2);
    }
}

} // namespace
