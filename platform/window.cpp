#include "platform/window.h"

#include "host/messages.h"
#include "host/window.h"
#include "resource/debug.h"

namespace {

constexpr uint32_t kClassStyle = 3;
constexpr uint32_t kPopupVisible = host::kStylePopup | host::kStyleVisible;

} // namespace

Window::Window(host::InstanceHandle instanceHandle) : instance(instanceHandle) {}

Window::Window(host::InstanceHandle instanceHandle, Window* parent, const char16_t* className)
    : instance(instanceHandle) {
    WindowCreate(this, parent, className);
}

Window::~Window() {
    WindowDestroy(this);
}

int32_t Window::OnMessage(host::WindowHandle, uint32_t message, uint32_t, int32_t) {
    if (message == host::kMessageDestroy) {
        host::PostQuitMessage(0);
        return 0;
    }
    return 1;
}

host::WindowHandle WindowCreate(Window* window, Window* parent, const char16_t* className) {
    host::WindowClass windowClass{};
    windowClass.style = kClassStyle;
    windowClass.procedure = WindowProc;
    windowClass.instance = window->instance;
    windowClass.icon = host::LoadIcon(window->instance, u"AppIcon");
    windowClass.background = host::GetStockObject(host::kStockBlackBrush);
    windowClass.className = className;
    host::RegisterWindowClass(windowClass); // an existing class serves as well

    {
        Window standIn(nullptr);
        const Window* const parentWindow = parent != nullptr ? parent : &standIn;
        window->handle = host::CreateWindow(
            0, className, className, kPopupVisible, host::kDefaultPosition, host::kDefaultPosition,
            80, 64, parentWindow->handle, nullptr, window->instance, nullptr);
    }
    if (window->handle != nullptr) {
        host::SetWindowLong(window->handle, host::kWindowLongUserData,
                            reinterpret_cast<intptr_t>(window));
    } else {
        DebugPrint(u"WindowOpenError");
    }
    return window->handle;
}

void WindowResize(Window* window, int32_t x, int32_t y, int32_t right, int32_t bottom,
                  uint32_t style, uint32_t extendedStyle, const char16_t* title) {
    if (window->handle == nullptr) return;
    const bool defaultPosition = x == host::kDefaultPosition;
    host::Rect rect =
        defaultPosition ? host::Rect{0, 0, right, bottom} : host::Rect{x, y, right, bottom};
    host::AdjustWindowRect(&rect, style, false, extendedStyle);
    host::SetWindowLong(window->handle, host::kWindowLongStyle, static_cast<intptr_t>(style));
    host::SetWindowLong(window->handle, host::kWindowLongExtendedStyle,
                        static_cast<intptr_t>(extendedStyle));
    if (title != nullptr) host::SetWindowText(window->handle, title);
    const uint32_t flags =
        defaultPosition ? host::kPositionNoMove | host::kPositionNoZOrder : host::kPositionNoZOrder;
    host::SetWindowPosition(window->handle, nullptr, rect.left, rect.top, rect.right - rect.left,
                            rect.bottom - rect.top, flags);
    host::ShowWindow(window->handle, host::kShowNormal);
    host::UpdateWindow(window->handle);
}

void WindowDestroy(Window* window) {
    if (window->handle != nullptr) {
        host::DestroyWindow(window->handle);
        window->handle = nullptr;
    }
    window->messageHook = nullptr;
}

int32_t WindowProc(host::WindowHandle handle, uint32_t message, uint32_t wordParam,
                   int32_t longParam) {
    auto* window =
        reinterpret_cast<Window*>(host::GetWindowLong(handle, host::kWindowLongUserData));
    // Messages of creation arrive before the user data points at the Window.
    if (window == nullptr) return host::DefWindowProc(handle, message, wordParam, longParam);
    if (window->messageHook != nullptr &&
        window->messageHook(handle, message, wordParam, longParam) == 0)
        return 0;
    if (window->OnMessage(handle, message, wordParam, longParam) == 0) return 0;
    return host::DefWindowProc(handle, message, wordParam, longParam);
}
