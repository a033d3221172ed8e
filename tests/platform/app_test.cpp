#include "platform/app.h"

#include "failing_new.h"
#include "host/clock.h"
#include "host/debug_output.h"
#include "host/device.h"
#include "host/gx.h"
#include "host/messages.h"
#include "host/screen.h"
#include "host/text_drawing.h"
#include "host/window.h"
#include "host/window_system.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint32_t> defaults; // messages that reached the default processing
std::u16string debugLines;

class TestApp : public App {
  public:
    TestApp() : App(&instance, 240, 240, u"test") {}

    // Quits when Start is held, at quitAtFrame, and (a test gone wrong) after 1000 frames.
    void OnFrame() override {
        if (++frames == quitAtFrame || frames > 1000) host::PostQuitMessage(0);
        if (currentKeyInput != nullptr && (currentKeyInput->keys & KeyStart) != 0) {
            host::PostQuitMessage(0);
            return;
        }
        ++drawn;
        if (display != nullptr) DisplayPresent(display);
    }
    void OnPaint() override { events += "paint;"; }
    void OnDeactivate() override { Note("off"); }
    void OnActivate() override { Note("on"); }
    void Note(const char* what) {
        events += std::string(what) + ": active " + std::to_string(active) + ", suspends " +
                  std::to_string(host::GxCallCounts().suspend) + ", resumes " +
                  std::to_string(host::GxCallCounts().resume) + ";";
    }

    static int instance;
    int frames = 0;
    int drawn = 0;
    int quitAtFrame = 0;
    std::string events;
};
int TestApp::instance;

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host::DeviceReset();
        host::SetTickCountFixed(5000);
        defaults.clear();
        debugLines.clear();
        host::SetDefaultProcessingListener(
            [](host::WindowHandle, uint32_t message, void*) { defaults.push_back(message); },
            nullptr);
        host::SetDebugListener([](const char16_t* text, void*) { debugLines += text; }, nullptr);
        host::SetDebugToStderr(false);
    }
    void TearDown() override {
        refuseNothrowNewOfSize = 0;
        host::SetDebugListener(nullptr, nullptr);
        host::SetDebugToStderr(true);
        host::SetTickCountReal();
        host::DeviceReset();
    }
};

TEST_F(AppTest, ConstructionInstallsTheHookOnlyAfterTheWindowIsSizedAndShown) {
    {
        TestApp app;
        // Creation: before the user data points at the Window, so straight to
        // the default processing. Sizing and showing: through OnMessage to the
        // default processing, never through the hook, so the focus message
        // resumed nothing and the paint reached no OnPaint.
        EXPECT_EQ(defaults, (std::vector<uint32_t>{host::kMessageCreate, host::kMessageSize,
                                                   host::kMessageMove, host::kMessageFocusGained,
                                                   host::kMessageSetText, host::kMessageSize,
                                                   host::kMessagePaint}));
        EXPECT_EQ(host::GxCallCounts().resume, 0);
        EXPECT_EQ(app.events, "");
        EXPECT_EQ(app.active, 0);

        ASSERT_NE(app.window, nullptr);
        const host::WindowHandle handle = app.window->handle;
        host::Rect rect{};
        ASSERT_TRUE(host::GetWindowRect(handle, &rect));
        EXPECT_TRUE(rect.left == 0 && rect.top == 0 && rect.right == 240 && rect.bottom == 320);
        EXPECT_EQ(host::GetWindowLong(handle, host::kWindowLongStyle), 0x90000000);
        EXPECT_EQ(host::GetWindowLong(handle, host::kWindowLongExtendedStyle), 0x04000000);
        EXPECT_EQ(host::GetWindowText(handle), u"test");
        EXPECT_EQ(app.window->messageHook, AppMessageHook);
        EXPECT_EQ(currentApp, &app);
        ASSERT_NE(app.display, nullptr);
        EXPECT_EQ(app.display->windowHandle, handle);
        EXPECT_NE(app.display->frameBuffer, nullptr);
        EXPECT_EQ(app.display->frameWidth, 240);
        ASSERT_NE(currentKeyInput, nullptr);
        EXPECT_EQ(host::GxCallCounts().openInput, 1);
        EXPECT_EQ(app.timer.startTick, 5000u);
        EXPECT_TRUE(debugLines.empty());
    }
    // Released: input and display closed, window destroyed (its destroy
    // message still went through the hook, which posted quit).
    EXPECT_EQ(currentApp, nullptr);
    EXPECT_EQ(currentKeyInput, nullptr);
    EXPECT_EQ(host::GxCallCounts().closeInput, 1);
    EXPECT_EQ(host::GxCallCounts().closeDisplay, 1);
    EXPECT_EQ(host::PendingMessageCount(), 1);

    App plain; // makes nothing
    EXPECT_TRUE(plain.window == nullptr && plain.display == nullptr && currentKeyInput == nullptr);
}

int hookAnswer = 1;
int onMessageAnswer = 1;
std::vector<std::string> chain;

class RecordingWindow : public Window {
  public:
    RecordingWindow() : Window(nullptr, nullptr, u"chain") {}
    int32_t OnMessage(host::WindowHandle, uint32_t message, uint32_t, int32_t) override {
        chain.push_back("on" + std::to_string(message));
        return onMessageAnswer;
    }
};

TEST_F(AppTest, TheWindowProcedureGoesHookThenOnMessageThenDefault) {
    RecordingWindow window;
    ASSERT_NE(window.handle, nullptr);
    EXPECT_TRUE(chain.empty()); // nothing of creation reached OnMessage
    window.messageHook = [](host::WindowHandle, uint32_t, uint32_t, int32_t) {
        chain.push_back("hook");
        return static_cast<int32_t>(hookAnswer);
    };
    const struct {
        int hook, onMessage;
        std::vector<std::string> chain;
        size_t defaults;
    } cases[] = {{0, 1, {"hook"}, 0},
                 {1, 0, {"hook", "on273"}, 0},
                 {1, 1, {"hook", "on273"}, 1},
                 {2, 5, {"hook", "on273"}, 1}};
    for (const auto& c : cases) {
        chain.clear();
        defaults.clear();
        hookAnswer = c.hook;
        onMessageAnswer = c.onMessage;
        EXPECT_EQ(host::SendMessage(window.handle, host::kMessageCommand, 0, 0), 0);
        EXPECT_EQ(chain, c.chain);
        EXPECT_EQ(defaults.size(), c.defaults);
    }
    chain.clear();
    hookAnswer = onMessageAnswer = 1;

    // The Window's own OnMessage: destroy posts quit and ends the chain.
    Window plain(nullptr, nullptr, u"chain");
    const int before = host::PendingMessageCount();
    EXPECT_EQ(plain.OnMessage(plain.handle, host::kMessageDestroy, 0, 0), 0);
    EXPECT_EQ(host::PendingMessageCount(), before + 1);
    EXPECT_EQ(plain.OnMessage(plain.handle, host::kMessagePaint, 0, 0), 1);
    WindowDestroy(&plain);
    EXPECT_EQ(plain.handle, nullptr);
    WindowResize(&plain, 0, 0, 10, 10, 0, 0, u"x"); // no window: nothing
}

TEST_F(AppTest, TheHookHandlesItsMessagesAndPassesTheRestOn) {
    TestApp app;
    const host::WindowHandle window = app.window->handle;
    // Command: default processing inside the hook, whose 0 ends the chain.
    // Setting the text answers 1 by default: the chain goes on to OnMessage
    // and the default processing runs a second time.
    const struct {
        uint32_t message;
        int32_t answer;
        size_t defaults;
    } cases[] = {{host::kMessageCommand, 0, 1},
                 {host::kMessageSetText, 1, 2},
                 {host::kMessageCreate, 0, 1},
                 {host::kMessageSettingChange, 0, 0},
                 {host::kMessagePaint, 0, 0}};
    for (const auto& c : cases) {
        defaults.clear();
        EXPECT_EQ(host::SendMessage(window, c.message, 0, 0), c.answer) << c.message;
        EXPECT_EQ(defaults.size(), c.defaults) << c.message;
    }
    EXPECT_EQ(app.events, "paint;");

    // Keys: the word parameter's low 16 bits are the code.
    defaults.clear();
    EXPECT_EQ(host::SendMessage(window, host::kMessageKeyDown, 0x10000 | host::kKeyCodeA, 0), 0);
    EXPECT_EQ(currentKeyInput->keys, KeyA);
    host::SendMessage(window, host::kMessageKeyUp, host::kKeyCodeA, 0);
    EXPECT_EQ(currentKeyInput->keys, 0u);
    KeyInput* const input = currentKeyInput;
    currentKeyInput = nullptr; // before the input exists: nothing changes
    EXPECT_EQ(host::SendMessage(window, host::kMessageKeyDown, host::kKeyCodeA, 0), 0);
    currentKeyInput = input;
    EXPECT_EQ(input->keys, 0u);
    EXPECT_TRUE(defaults.empty());

    // Stylus: the position word is split without sign extension; down and
    // move hold the 0x10000 bit, up stores the word parameter alone. The chain
    // goes on to the default processing.
    const struct {
        uint32_t message, word, position, buttons, x, y;
    } strokes[] = {{host::kMessageStylusDown, 1, 0xFFFF0010u, 0x10001u, 16, 65535},
                   {host::kMessageStylusMove, 0, (20u << 16) | 30, 0x10000u, 30, 20},
                   {host::kMessageStylusUp, 0, (21u << 16) | 31, 0u, 31, 21}};
    for (const auto& s : strokes) {
        defaults.clear();
        host::SendMessage(window, s.message, s.word, static_cast<int32_t>(s.position));
        EXPECT_EQ(defaults.size(), 1u);
        EXPECT_EQ(app.stylusButtons, s.buttons);
        EXPECT_EQ(app.stylusX, s.x);
        EXPECT_EQ(app.stylusY, s.y);
    }
    currentApp = nullptr; // no App: nothing is recorded
    EXPECT_EQ(AppMessageHook(window, host::kMessageStylusDown, 1, 0x00050005), 1);
    currentApp = &app;
    EXPECT_EQ(app.stylusX, 31u);
}

TEST_F(AppTest, FocusDecidesWhetherFramesAreMadeAndTheQuitPassMakesNone) {
    TestApp app;
    const host::WindowHandle window = app.window->handle;
    for (uint32_t message : {host::kMessageFocusLost, host::kMessageCommand, host::kMessageCommand,
                             host::kMessageFocusGained})
        host::PostMessage(window, message, 0, 0);
    app.quitAtFrame = 3;
    app.Run();
    // Pass 1 loses the focus; passes 2-3 take messages without frames; pass 4
    // regains it and draws frame 1; frame 3 posts quit, and the pass that
    // takes it draws nothing. OnDeactivate comes before the suspend, OnActivate
    // after the resume.
    EXPECT_EQ(app.frames, 3);
    EXPECT_EQ(host::PendingMessageCount(), 0);
    EXPECT_EQ(app.events,
              "off: active 0, suspends 0, resumes 0;on: active 1, suspends 1, resumes 1;");
    EXPECT_EQ(app.active, 1);

    // Destroy: inactive at once and quit, so no frame follows.
    app.frames = 0;
    host::PostMessage(window, host::kMessageDestroy, 0, 0);
    app.Run();
    EXPECT_EQ(app.frames, 0);
    EXPECT_EQ(app.active, 0);
}

TEST_F(AppTest, TheDevicePressesStartAfterExactlyTheFramesAskedFor) {
    for (uint32_t n : {0u, 1u, 5u}) {
        for (bool interrupted : {false, true}) {
            host::DeviceReset();
            TestApp app;
            if (interrupted) {
                for (uint32_t message :
                     {host::kMessageFocusLost, host::kMessageCommand, host::kMessageFocusGained})
                    host::PostMessage(app.window->handle, message, 0, 0);
            }
            host::DeviceSetStartAfterFrames(n);
            app.Run();
            EXPECT_EQ(app.drawn, static_cast<int>(n)) << n << " " << interrupted;
            // Without the interruption the last frame is the one that saw Start.
            if (!interrupted) {
                EXPECT_EQ(app.frames, static_cast<int>(n) + 1);
            }
            EXPECT_EQ(host::GxCallCounts().endDraw, static_cast<int>(n));
        }
    }
}

TEST_F(AppTest, DrawCaptionChoosesOpaqueOrTransparentAndReleasesItsContext) {
    TestApp app;
    app.DrawCaption(162, 307, 0xFFFF, 0, u"K");
    EXPECT_EQ(host::ScreenPixel(162, 309), 0xFFE0); // red 255, green 255: yellow
    EXPECT_EQ(host::ScreenPixel(163, 309), 0x0000); // opaque black
    EXPECT_EQ(host::OpenDeviceContextCount(), 0);

    host::ScreenSetPixel(163, 309, 0x1234);
    app.DrawCaption(162, 307, 0xFF0000FF, -1, u"K%d", 7); // top byte dropped: red
    EXPECT_EQ(host::ScreenPixel(162, 309), 0xF800);
    EXPECT_EQ(host::ScreenPixel(163, 309), 0x1234); // transparent
    // A text longer than the 256-character buffer is cut, not overrun.
    app.DrawCaption(0, 0, 0xFFFFFF, 0, u"%s", std::u16string(400, u'x').c_str());
    EXPECT_EQ(host::OpenDeviceContextCount(), 0);
}

TEST_F(AppTest, ObjectsThatCannotBeAllocatedAreLeftOut) {
    refuseNothrowNewOfSize = sizeof(host::WindowObject);
    EXPECT_EQ(Window(nullptr, nullptr, u"failing").handle, nullptr);
    refuseNothrowNewOfSize = 0;
    EXPECT_EQ(debugLines, u"WindowOpenError\r\n");

    // An App without its window, display or key input still runs: what would
    // use the missing object is skipped.
    ASSERT_TRUE(sizeof(Window) != sizeof(Display) && sizeof(Window) != sizeof(KeyInput) &&
                sizeof(Display) != sizeof(KeyInput) &&
                sizeof(Window) != sizeof(host::WindowObject));
    for (size_t refused : {sizeof(Window), sizeof(Display), sizeof(KeyInput)}) {
        host::DeviceReset(); // each App leaves the quit its destroy message posted
        refuseNothrowNewOfSize = refused;
        TestApp app;
        refuseNothrowNewOfSize = 0;
        EXPECT_EQ(app.window == nullptr, refused == sizeof(Window));
        EXPECT_EQ(app.display == nullptr, refused == sizeof(Display));
        EXPECT_EQ(currentKeyInput == nullptr, refused == sizeof(KeyInput));
        if (app.window == nullptr) {
            EXPECT_EQ(app.display->windowHandle, nullptr); // no window: no screen
        } else {
            EXPECT_EQ(app.window->messageHook, AppMessageHook);
            host::SendMessage(app.window->handle, host::kMessageKeyDown, host::kKeyCodeB, 0);
        }
        app.DrawCaption(0, 0, 0xFFFFFF, 0, u"x");
        app.quitAtFrame = 2;
        app.Run();
        EXPECT_EQ(app.frames, 2);
    }
}

} // namespace
