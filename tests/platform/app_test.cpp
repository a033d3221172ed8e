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
        // Creation goes straight to the default processing; sizing and showing
        // through OnMessage, never the hook: nothing resumed, no OnPaint.
        EXPECT_EQ(defaults, (std::vector<uint32_t>{kMessageCreate, kMessageSize, kMessageMove,
                                                   kMessageFocusGained, kMessageSetText,
                                                   kMessageSize, kMessagePaint}));
        EXPECT_EQ(GxCallCounts().resume, 0);
        EXPECT_EQ(app.events, "");
        EXPECT_EQ(app.active, 0);
        ASSERT_NE(app.window, nullptr);
        Rect r{};
        ASSERT_TRUE(GetWindowRect(app.window->handle, &r));
        EXPECT_EQ((std::vector<int32_t>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<int32_t>{0, 0, 240, 320}));
        EXPECT_EQ(app.window->messageHook, AppMessageHook);
        EXPECT_EQ(app.timer.startTick, 5000u);
        EXPECT_EQ(debugLines_.Take(), Lines{});
    }
    // Released: input and display closed; the destroy message posted quit.
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
    // {message, answer, default processings}: the hook answers command with the
    // default processing and 0; setting the text goes on and is processed twice.
    const uint32_t cases[][3] = {{kMessageCommand, 0, 1},       {kMessageSetText, 1, 2},
                                 {kMessageSettingChange, 0, 0}, {kMessagePaint, 0, 0},
                                 {kMessageFocusLost, 0, 0},     {kMessageFocusGained, 0, 0}};
    for (const auto& c : cases) {
        defaults.clear();
        EXPECT_EQ(SendMessage(window, c[0], 0, 0), static_cast<int32_t>(c[1])) << c[0];
        EXPECT_EQ(defaults.size(), c[2]) << c[0];
    }
    EXPECT_EQ(app.events, "paint;off 000;on 111;");

    // Keys: the word's low 16 bits are the code; without the input, nothing.
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

    // Stylus {message, word, position, buttons, x, y}: the position split
    // without sign extension; down and move add 0x10000; then the default.
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
    // Passes 1-3 take messages without frames; frame 6 sees Start and posts
    // quit. OnDeactivate comes before the suspend, OnActivate after the resume.
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

// Cells, glyphs and the opaque caption in yellow: the clock's golden frames.
TEST_F(AppTest, DrawCaptionDropsTheColoursTopByteAndCanBeTransparent) {
    TestApp app;
    ScreenSetPixel(1, 2, 0x1234);
    app.DrawCaption(0, 0, 0xFF0000FF, -1, u"K%d", 7); // top byte dropped: red
    EXPECT_EQ(ScreenPixel(0, 2), 0xF800);             // the stem of the K
    EXPECT_EQ(ScreenPixel(1, 2), 0x1234);             // transparent
    EXPECT_EQ(ColorToPixel(0xFF0000), 0x001F);
    // A text longer than the 256-character buffer is cut, not overrun.
    app.DrawCaption(0, 0, 0xFF0000, -1, u"%s", std::u16string(400, u'|').c_str());
    EXPECT_EQ(OpenDeviceContextCount(), 0);
}

// An App whose window, its device object, display or key input cannot be had
// still runs: what would use the missing object is skipped.
TEST_F(AppTest, ObjectsThatCannotBeAllocatedAreLeftOut) {
    // In the order the App allocates them; a size may repeat (32-bit builds).
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
