// Platform stage, the application: construction and release, the message
// loop, the message hook and the caption.
#include "platform/app.h"

#include "host/gx.h"
#include "host/messages.h"
#include "host/text_drawing.h"
#include "host/window.h"
#include "resource/debug.h"

#include <cstdarg>
#include <new>

App* currentApp = nullptr;
KeyInput* currentKeyInput = nullptr;

namespace {

constexpr uint32_t kAppStyle = 0x90000000u;
constexpr uint32_t kAppExtendedStyle = 0x04000000u;
constexpr uint32_t kStylusHeld = 0x10000;

// The shell's record for its setting-change handler; its contents are the
// shell's business.
struct ActivateInfo {
    uint32_t words[3];
};
ActivateInfo activateInfo{};

void RecordStylus(uint32_t buttons, int32_t longParam) {
    if (currentApp == nullptr) return;
    currentApp->stylusButtons = buttons;
    currentApp->stylusX = static_cast<uint32_t>(longParam) & 0xFFFF;
    currentApp->stylusY = static_cast<uint32_t>(longParam) >> 16;
}

} // namespace

// The objects the App owns are allocated without throwing: one that cannot be
// had is left out (null) and everything that would use it is skipped.
App::App(host::InstanceHandle instance, int32_t frameWidth, int32_t frameHeight,
         const char16_t* name) {
    currentKeyInput = nullptr;
    window = new (std::nothrow) Window(instance, nullptr, name);
    currentApp = this;
    display = new (std::nothrow) Display;
    const host::WindowHandle handle = window != nullptr ? window->handle : nullptr;
    if (display != nullptr) DisplayOpen(display, handle);
    if (window != nullptr) {
        // The window covers the device's screen.
        const int32_t right = display != nullptr ? DisplayScreenWidth(display) : 0;
        const int32_t bottom = display != nullptr ? DisplayScreenHeight(display) : 0;
        WindowResize(window, 0, 0, right, bottom, kAppStyle, kAppExtendedStyle, name);
        window->messageHook = AppMessageHook;
    }
    currentKeyInput = new (std::nothrow) KeyInput;
    if (currentKeyInput != nullptr) KeyInputOpen(currentKeyInput);
    if (display != nullptr) {
        DisplayCreateFrameBuffer(display, frameWidth, frameHeight);
        DisplayPlace(display, 0, 0);
    }
    TickTimerReset(&timer);
}

App::App() {
    currentKeyInput = nullptr;
}

// The process-wide pointer must not outlive the App it points at.
App::~App() {
    AppRelease();
    if (currentApp == this) currentApp = nullptr;
}

void App::AppRelease() {
    if (currentKeyInput != nullptr) {
        delete currentKeyInput;
        currentKeyInput = nullptr;
    }
    if (display != nullptr) {
        DisplayClose(display);
        delete display;
        display = nullptr;
    }
    if (window != nullptr) {
        delete window;
        window = nullptr;
    }
}

void App::Run() {
    active = 1;
    for (;;) {
        host::Message message{};
        if (host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove)) {
            if (message.message == host::kMessageQuit) return;
            host::TranslateMessage(&message);
            host::DispatchMessage(&message);
        }
        if (active == 1) OnFrame();
    }
}

void App::DrawCaption(int32_t x, int32_t y, host::DeviceColor textColor, int32_t backgroundColor,
                      const char16_t* format, ...) {
    char16_t text[256];
    va_list args;
    va_start(args, format);
    const size_t length = WideFormat(text, 256, format, args);
    va_end(args);

    const host::WindowHandle handle = window != nullptr ? window->handle : nullptr;
    const host::DeviceContext context = host::GetDC(handle);
    host::SetTextColor(context, textColor & 0x00FFFFFF);
    if (backgroundColor < 0) {
        host::SetBackgroundColor(context, 0);
        host::SetBackgroundMode(context, host::kBackgroundTransparent);
    } else {
        host::SetBackgroundColor(context, static_cast<uint32_t>(backgroundColor) & 0x00FFFFFF);
        host::SetBackgroundMode(context, host::kBackgroundOpaque);
    }
    host::Size size{};
    host::MeasureText(context, text, static_cast<int32_t>(length), &size);
    const host::Rect rect{0, 0, size.cx, size.cy};
    host::DrawTextAt(context, x, y, 0, &rect, text, static_cast<uint32_t>(length), nullptr);
    host::ReleaseDC(handle, context);
}

void AppPostQuit(int32_t exitCode) {
    host::PostQuitMessage(exitCode);
}

int32_t AppMessageHook(host::WindowHandle window, uint32_t message, uint32_t wordParam,
                       int32_t longParam) {
    App* const app = currentApp;
    switch (message) {
    case host::kMessageCreate:
        return 1;
    case host::kMessageDestroy:
        if (app != nullptr) app->active = 0;
        host::PostQuitMessage(0);
        return 0;
    case host::kMessageFocusGained:
        GXResume();
        if (app != nullptr) {
            app->active = 1;
            app->OnActivate();
        }
        return 0;
    case host::kMessageFocusLost:
        if (app != nullptr) {
            app->active = 0;
            app->OnDeactivate();
        }
        GXSuspend();
        return 0;
    case host::kMessagePaint:
        if (app != nullptr) app->OnPaint();
        return 0;
    case host::kMessageSettingChange:
        host::HandleSettingChange(window, wordParam, longParam, &activateInfo);
        return 0;
    case host::kMessageKeyDown:
    case host::kMessageKeyUp:
        if (currentKeyInput != nullptr) {
            KeyInputSetKey(currentKeyInput, message == host::kMessageKeyDown ? 1 : 0,
                           wordParam & 0xFFFF);
        }
        return 0;
    case host::kMessageStylusMove:
    case host::kMessageStylusDown:
        RecordStylus(wordParam | kStylusHeld, longParam);
        return 1;
    case host::kMessageStylusUp:
        RecordStylus(wordParam, longParam);
        return 1;
    default:
        return host::DefWindowProc(window, message, wordParam, longParam);
    }
}
