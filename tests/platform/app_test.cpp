#include "platform/app.h"

#include "failing_new.h"
#include "host/clock.h"
#include "host/debug_output.h"
#include "host/device.h"
#include "host/gx.h"
#include "host/messages.h"
#include "host/raw_heap.h"
#include "host/screen.h"
#include "host/text_drawing.h"
#include "host/window.h"
#include "host/window_system.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint32_t> defaults; // messages that reached the default processing

void RecordDefault(host::WindowHandle, uint32_t message, void*) {
    defaults.push_back(message);
}

std::u16string debugLines;

void RecordDebug(const char16_t* text, void*) {
    debugLines += text;
}

class TestApp : public App {
  public:
    explicit TestApp(int32_t frameSize = 240) : App(&instance, frameSize, frameSize, u"test") {}

    void OnFrame() override {
        ++frames;
        if (++calls > 1000) host::PostQuitMessage(0); // a test gone wrong still ends
        if (currentKeyInput != nullptr && (currentKeyInput->keys & 0x1070) != 0) {
            host::PostQuitMessage(0);
            return;
        }
        if (quitAtFrame != 0 && frames == quitAtFrame) host::PostQuitMessage(0);
        ++drawn;
        if (display != nullptr) DisplayPresent(display);
    }
    void OnPaint() override { ++paints; }
    void OnDeactivate() override {
        ++deactivations;
        suspendedBeforeDeactivate = host::GxCallCounts().suspend;
        activeInDeactivate = active;
    }
    void OnActivate() override {
        ++activations;
        resumedBeforeActivate = host::GxCallCounts().resume;
        activeInActivate = active;
    }

    static int instance;
    int frames = 0;
    int calls = 0;
    int drawn = 0;
    int quitAtFrame = 0;
    int paints = 0;
    int activations = 0;
    int deactivations = 0;
    int suspendedBeforeDeactivate = -1;
    int resumedBeforeActivate = -1;
    int32_t activeInDeactivate = -1;
    int32_t activeInActivate = -1;
};
int TestApp::instance;

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host::DeviceReset();
        host::SetTickCountFixed(5000);
        defaults.clear();
        debugLines.clear();
        host::SetDefaultProcessingListener(RecordDefault, nullptr);
        host::SetDebugListener(RecordDebug, nullptr);
        host::SetDebugToStderr(false);
    }
    void TearDown() override {
        refuseNothrowNewOfSize = 0;
        host::RawHeapSetFaults({});
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
        // the default processing. Sizing and showing: through OnMessage (which
        // answers 1) to the default processing, never through the hook, so the
        // focus message resumed nothing and the paint reached no OnPaint.
        EXPECT_EQ(defaults, (std::vector<uint32_t>{host::kMessageCreate, host::kMessageSize,
                                                   host::kMessageMove, host::kMessageFocusGained,
                                                   host::kMessageSetText, host::kMessageSize,
                                                   host::kMessagePaint}));
        EXPECT_EQ(host::GxCallCounts().resume, 0);
        EXPECT_EQ(app.activations, 0);
        EXPECT_EQ(app.paints, 0);
        EXPECT_EQ(app.active, 0);

        ASSERT_NE(app.window, nullptr);
        const host::WindowHandle handle = app.window->handle;
        host::Rect rect{};
        ASSERT_TRUE(host::GetWindowRect(handle, &rect));
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.right, 240);
        EXPECT_EQ(rect.bottom, 320);
        EXPECT_EQ(host::GetWindowLong(handle, host::kWindowLongStyle), 0x90000000);
        EXPECT_EQ(host::GetWindowLong(handle, host::kWindowLongExtendedStyle), 0x04000000);
        EXPECT_EQ(host::GetWindowText(handle), u"test");
        EXPECT_EQ(app.window->messageHook, AppMessageHook);
        EXPECT_EQ(app.window->instance, &TestApp::instance);
        EXPECT_EQ(currentApp, &app);

        ASSERT_NE(app.display, nullptr);
        EXPECT_EQ(app.display->windowHandle, handle);
        EXPECT_EQ(app.display->width, 320);
        EXPECT_EQ(app.display->frameWidth, 240);
        EXPECT_EQ(app.display->frameHeight, 240);
        EXPECT_NE(app.display->frameBuffer, nullptr);
        EXPECT_EQ(app.display->frameOffset, 0);

        ASSERT_NE(currentKeyInput, nullptr);
        EXPECT_EQ(currentKeyInput->opened, 1);
        EXPECT_EQ(host::GxCallCounts().openInput, 1);
        EXPECT_EQ(host::GxCallCounts().getDefaultKeys, 1);
        EXPECT_EQ(app.timer.startTick, 5000u);
        EXPECT_EQ(app.matrixStackCapacity, 32);
        EXPECT_TRUE(debugLines.empty());
    }
    // Released: input closed, display closed, window destroyed (its destroy
    // message still went through the hook, which posted quit).
    EXPECT_EQ(currentApp, nullptr);
    EXPECT_EQ(currentKeyInput, nullptr);
    EXPECT_EQ(host::GxCallCounts().closeInput, 1);
    EXPECT_EQ(host::GxCallCounts().closeDisplay, 1);
    EXPECT_FALSE(host::GxDisplayOpen());
    EXPECT_EQ(host::PendingMessageCount(), 1);

    // The plain construction makes nothing.
    App plain;
    EXPECT_EQ(plain.window, nullptr);
    EXPECT_EQ(plain.display, nullptr);
    EXPECT_EQ(currentKeyInput, nullptr);
    EXPECT_EQ(plain.matrixStackCapacity, 32);
}

int hookAnswer = 1;
int onMessageAnswer = 1;
std::vector<std::string> chain;

int32_t TestHook(host::WindowHandle, uint32_t, uint32_t, int32_t) {
    chain.push_back("hook");
    return hookAnswer;
}

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
    window.messageHook = TestHook;
    struct Case {
        int hook;
        int onMessage;
        std::vector<std::string> chain;
        size_t defaults;
        int32_t result;
    };
    const Case cases[] = {{0, 1, {"hook"}, 0, 0},
                          {1, 0, {"hook", "on273"}, 0, 0},
                          {1, 1, {"hook", "on273"}, 1, 0},
                          {2, 5, {"hook", "on273"}, 1, 0}};
    for (const Case& c : cases) {
        chain.clear();
        defaults.clear();
        hookAnswer = c.hook;
        onMessageAnswer = c.onMessage;
        EXPECT_EQ(host::SendMessage(window.handle, host::kMessageCommand, 0, 0), c.result);
        EXPECT_EQ(chain, c.chain);
        EXPECT_EQ(defaults.size(), c.defaults);
    }
    chain.clear();

    // The Window's own OnMessage: destroy posts quit and ends the chain.
    Window plain(nullptr, nullptr, u"chain");
    defaults.clear();
    host::PostQuitMessage(0); // (make sure only one more quit appears)
    const int before = host::PendingMessageCount();
    EXPECT_EQ(plain.OnMessage(plain.handle, host::kMessageDestroy, 0, 0), 0);
    EXPECT_EQ(host::PendingMessageCount(), before + 1);
    EXPECT_EQ(plain.OnMessage(plain.handle, host::kMessagePaint, 0, 0), 1);
    WindowDestroy(&plain);
    EXPECT_EQ(plain.handle, nullptr);
    EXPECT_EQ(plain.messageHook, nullptr);
    WindowResize(&plain, 0, 0, 10, 10, 0, 0, u"x"); // no window: nothing
    hookAnswer = onMessageAnswer = 1;
}

TEST_F(AppTest, WindowCreationThatFailsIsReportedAndLeavesNoHandle) {
    refuseNothrowNewOfSize = sizeof(host::WindowObject);
    Window window(nullptr, nullptr, u"failing");
    refuseNothrowNewOfSize = 0;
    EXPECT_EQ(window.handle, nullptr);
    EXPECT_EQ(debugLines, u"WindowOpenError\r\n");
}

TEST_F(AppTest, TheHookHandlesItsMessagesAndPassesTheRestOn) {
    TestApp app;
    const host::WindowHandle window = app.window->handle;
    auto send = [&](uint32_t message, uint32_t word, int32_t longParam) {
        defaults.clear();
        return host::SendMessage(window, message, word, longParam);
    };
    // Command: default processing inside the hook, whose 0 ends the chain.
    EXPECT_EQ(send(host::kMessageCommand, 1, 0), 0);
    EXPECT_EQ(defaults.size(), 1u);
    // Setting the text answers 1 by default: the chain goes on to OnMessage and
    // the default processing runs a second time.
    EXPECT_EQ(send(host::kMessageSetText, 0, 0), 1);
    EXPECT_EQ(defaults.size(), 2u);
    EXPECT_EQ(send(host::kMessageCreate, 0, 0), 0);
    EXPECT_EQ(defaults.size(), 1u);
    EXPECT_EQ(send(host::kMessageSettingChange, 0, 0), 0);
    EXPECT_EQ(send(host::kMessagePaint, 0, 0), 0);
    EXPECT_TRUE(defaults.empty());
    EXPECT_EQ(app.paints, 1);

    // Keys: the word parameter's low 16 bits are the code.
    EXPECT_EQ(send(host::kMessageKeyDown, 0x100C1, 0), 0);
    EXPECT_EQ(currentKeyInput->keys, KeyA);
    EXPECT_EQ(send(host::kMessageKeyDown, host::kKeyCodeStart, 0), 0);
    EXPECT_EQ(currentKeyInput->keys, KeyA | KeyStart);
    EXPECT_EQ(send(host::kMessageKeyUp, host::kKeyCodeA, 0), 0);
    EXPECT_EQ(currentKeyInput->keys, KeyStart);
    KeyInput* const input = currentKeyInput;
    currentKeyInput = nullptr; // before the input exists: nothing changes
    EXPECT_EQ(send(host::kMessageKeyUp, host::kKeyCodeStart, 0), 0);
    EXPECT_TRUE(defaults.empty());
    currentKeyInput = input;
    EXPECT_EQ(currentKeyInput->keys, KeyStart);

    // Stylus: the position word is split without sign extension; down and
    // move hold the 0x10000 bit, up stores the word parameter alone. The chain
    // goes on to the default processing.
    EXPECT_EQ(send(host::kMessageStylusDown, 1, static_cast<int32_t>(0xFFFF0010u)), 0);
    EXPECT_EQ(defaults.size(), 1u);
    EXPECT_EQ(app.stylusX, 16u);
    EXPECT_EQ(app.stylusY, 65535u);
    EXPECT_EQ(app.stylusButtons, 0x10001u);
    send(host::kMessageStylusMove, 0, (20 << 16) | 30);
    EXPECT_EQ(app.stylusButtons, 0x10000u);
    EXPECT_EQ(app.stylusX, 30u);
    EXPECT_EQ(app.stylusY, 20u);
    send(host::kMessageStylusUp, 0, (21 << 16) | 31);
    EXPECT_EQ(app.stylusButtons, 0u);
    EXPECT_EQ(app.stylusY, 21u);
    currentApp = nullptr;
    EXPECT_EQ(AppMessageHook(window, host::kMessageStylusDown, 1, 0x00050005), 1);
    EXPECT_EQ(app.stylusX, 31u);
    currentApp = &app;
}

TEST_F(AppTest, FocusDecidesWhetherFramesAreMadeAndTheQuitPassMakesNone) {
    TestApp app;
    const host::WindowHandle window = app.window->handle;
    host::PostMessage(window, host::kMessageFocusLost, 0, 0);
    host::PostMessage(window, host::kMessageCommand, 0, 0);
    host::PostMessage(window, host::kMessageCommand, 0, 0);
    host::PostMessage(window, host::kMessageFocusGained, 0, 0);
    app.quitAtFrame = 3;
    app.Run();
    // Pass 1 loses the focus; passes 2-3 take messages without frames; pass 4
    // regains it and draws frame 1; frame 3 posts quit, and the pass that
    // takes it draws nothing.
    EXPECT_EQ(app.frames, 3);
    EXPECT_EQ(host::PendingMessageCount(), 0);
    EXPECT_EQ(app.deactivations, 1);
    EXPECT_EQ(app.activeInDeactivate, 0);
    EXPECT_EQ(app.suspendedBeforeDeactivate, 0); // OnDeactivate, then suspend
    EXPECT_EQ(host::GxCallCounts().suspend, 1);
    EXPECT_EQ(app.activations, 1);
    EXPECT_EQ(app.resumedBeforeActivate, 1); // resume, then OnActivate
    EXPECT_EQ(app.activeInActivate, 1);
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
                const host::WindowHandle window = app.window->handle;
                host::PostMessage(window, host::kMessageFocusLost, 0, 0);
                host::PostMessage(window, host::kMessageCommand, 0, 0);
                host::PostMessage(window, host::kMessageFocusGained, 0, 0);
            }
            host::DeviceSetStartAfterFrames(n);
            app.Run();
            EXPECT_EQ(app.drawn, static_cast<int>(n)) << n << " " << interrupted;
            if (!interrupted) {
                EXPECT_EQ(app.frames, static_cast<int>(n) + 1); // the last one saw Start
            }
            EXPECT_EQ(host::GxCallCounts().endDraw, static_cast<int>(n));
        }
    }
}

TEST_F(AppTest, DrawCaptionWritesOpaqueOrTransparentTextAndReleasesItsContext) {
    TestApp app;
    for (int32_t y = 300; y < 320; ++y)
        for (int32_t x = 150; x < 240; ++x)
            host::ScreenSetPixel(x, y, 0x1234);
    app.DrawCaption(162, 307, 0xFFFF, 0, u"KQ 3D Engine ");
    EXPECT_EQ(host::ScreenPixel(162, 309), 0xFFE0); // red 255, green 255: yellow
    EXPECT_EQ(host::ScreenPixel(163, 309), 0x0000); // opaque black
    EXPECT_EQ(host::ScreenPixel(161, 309), 0x1234);
    EXPECT_EQ(host::ScreenPixel(239, 319), 0x0000);
    EXPECT_EQ(host::ScreenPixel(200, 306), 0x1234);
    EXPECT_EQ(host::OpenDeviceContextCount(), 0);

    host::ScreenSetPixel(163, 309, 0x1234);
    app.DrawCaption(162, 307, 0xFF0000FF, -1, u"K%d", 7); // top byte dropped: red
    EXPECT_EQ(host::ScreenPixel(162, 309), 0xF800);
    EXPECT_EQ(host::ScreenPixel(163, 309), 0x1234); // transparent
    // A text longer than the 256-character buffer is cut, not overrun.
    std::u16string longText(400, u'x');
    app.DrawCaption(0, 0, 0xFFFFFF, 0, u"%s", longText.c_str());
    EXPECT_EQ(host::OpenDeviceContextCount(), 0);
}

TEST_F(AppTest, ObjectsThatCannotBeAllocatedAreLeftOut) {
    {
        refuseNothrowNewOfSize = sizeof(Window);
        TestApp app;
        refuseNothrowNewOfSize = 0;
        EXPECT_EQ(app.window, nullptr);
        ASSERT_NE(app.display, nullptr);
        EXPECT_EQ(app.display->windowHandle, nullptr); // no window: no screen
        ASSERT_NE(currentKeyInput, nullptr);
        app.quitAtFrame = 2;
        app.Run();
        EXPECT_EQ(app.frames, 2);
        app.DrawCaption(0, 0, 0xFFFFFF, 0, u"x");
    }
    host::DeviceReset(); // each App leaves the quit its destroy message posted
    {
        refuseNothrowNewOfSize = sizeof(Display);
        TestApp app;
        refuseNothrowNewOfSize = 0;
        EXPECT_EQ(app.display, nullptr);
        ASSERT_NE(app.window, nullptr);
        EXPECT_EQ(app.window->messageHook, AppMessageHook);
        app.quitAtFrame = 2;
        app.Run();
        EXPECT_EQ(app.frames, 2);
    }
    host::DeviceReset();
    {
        refuseNothrowNewOfSize = sizeof(KeyInput);
        TestApp app;
        refuseNothrowNewOfSize = 0;
        EXPECT_EQ(currentKeyInput, nullptr);
        host::SendMessage(app.window->handle, host::kMessageKeyDown, host::kKeyCodeA, 0);
        app.quitAtFrame = 1;
        app.Run();
        EXPECT_EQ(app.drawn, 1);
    }
    host::DeviceReset();
    host::SetDebugListener(RecordDebug, nullptr);
    {
        host::RawHeapResetCount();
        host::RawHeapSetFaults({1, 0});
        TestApp app;
        host::RawHeapSetFaults({});
        EXPECT_EQ(app.display->frameBuffer, nullptr);
        EXPECT_EQ(app.display->frameWidth, 0);
        EXPECT_NE(debugLines.find(u"FrameBufferAllocError"), std::u16string::npos);
        app.quitAtFrame = 1;
        app.Run();
        EXPECT_EQ(app.drawn, 1);
        EXPECT_EQ(host::GxCallCounts().beginDraw, 0);
    }
    EXPECT_NE(sizeof(Window), sizeof(Display));
    EXPECT_NE(sizeof(Window), sizeof(KeyInput));
    EXPECT_NE(sizeof(Window), sizeof(host::WindowObject));
}

} // namespace
