// Window classes and windows: creation with its messages, user data and
// styles, placement, showing, painting and the default processing.
#include "host/window.h"

#include "host/screen.h"
#include "host/text_drawing.h"
#include "host/window_system.h"

#include <memory>
#include <new>
#include <vector>

namespace host {
namespace {

BrushObject blackBrush{0x000000};

struct WindowSystem {
    std::vector<std::unique_ptr<WindowClassRecord>> classes;
    // Destroyed windows stay listed (marked dead) so that a stale handle is
    // recognised and never reaches freed memory.
    std::vector<std::unique_ptr<WindowObject>> windows;
    WindowHandle focus = nullptr;
    DefaultProcessingListener listener = nullptr;
    void* listenerContext = nullptr;
};

WindowSystem system;

const WindowClassRecord* FindClass(const char16_t* name) {
    if (name == nullptr) return nullptr;
    for (const auto& record : system.classes)
        if (record->name == name) return record.get();
    return nullptr;
}

int32_t PackPoint(int32_t low, int32_t high) {
    return static_cast<int32_t>((static_cast<uint32_t>(high) << 16) |
                                (static_cast<uint32_t>(low) & 0xFFFF));
}

void MoveFocus(WindowHandle window) {
    const WindowHandle old = system.focus;
    if (old == window) return;
    system.focus = window;
    if (detail::LiveWindow(old) != nullptr) SendMessage(old, kMessageFocusLost, 0, 0);
    if (detail::LiveWindow(window) != nullptr) SendMessage(window, kMessageFocusGained, 0, 0);
}

void PaintBackground(WindowObject* window) {
    const BrushHandle brush = window->windowClass->background;
    if (brush == nullptr || !ScreenIs16Bit()) return;
    const uint16_t pixel = ColorToPixel(brush->color);
    const GXDisplayProperties& screen = ScreenProperties();
    const Rect& r = window->rect;
    const int32_t right = r.right < static_cast<int32_t>(screen.width) ? r.right : screen.width;
    const int32_t bottom =
        r.bottom < static_cast<int32_t>(screen.height) ? r.bottom : screen.height;
    for (int32_t y = r.top < 0 ? 0 : r.top; y < bottom; ++y)
        for (int32_t x = r.left < 0 ? 0 : r.left; x < right; ++x)
            ScreenSetPixel(x, y, pixel);
    ScreenTouched();
}

} // namespace

namespace detail {

WindowObject* LiveWindow(WindowHandle window) {
    if (window == nullptr) return nullptr;
    for (const auto& object : system.windows)
        if (object.get() == window) return object->alive ? object.get() : nullptr;
    return nullptr;
}

WindowHandle FindWindow(bool (*visit)(WindowObject* window)) {
    for (auto it = system.windows.rbegin(); it != system.windows.rend(); ++it) {
        WindowObject* window = it->get();
        if (window->alive && window->visible && visit(window)) return window;
    }
    return nullptr;
}

void ResetWindows() {
    system.windows.clear();
    system.classes.clear();
    system.focus = nullptr;
    system.listener = nullptr;
    system.listenerContext = nullptr;
}

} // namespace detail

uint16_t RegisterWindowClass(const WindowClass& windowClass) {
    if (windowClass.procedure == nullptr || windowClass.className == nullptr ||
        FindClass(windowClass.className) != nullptr)
        return 0;
    std::unique_ptr<WindowClassRecord> record(new (std::nothrow) WindowClassRecord{
        windowClass.className, windowClass.style, windowClass.procedure, windowClass.instance,
        windowClass.icon, windowClass.background});
    if (!record) return 0;
    system.classes.push_back(std::move(record));
    return static_cast<uint16_t>(0xC000 + system.classes.size());
}

IconHandle LoadIcon(InstanceHandle, const char16_t*) {
    return nullptr;
}

BrushHandle GetStockObject(int index) {
    return index == kStockBlackBrush ? &blackBrush : nullptr;
}

WindowHandle CreateWindow(uint32_t extendedStyle, const char16_t* className, const char16_t* title,
                          uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                          WindowHandle parent, void*, InstanceHandle instance, void*) {
    const WindowClassRecord* windowClass = FindClass(className);
    if (windowClass == nullptr) return nullptr;
    if (parent != nullptr && detail::LiveWindow(parent) == nullptr) return nullptr;
    // The device places windows at its default position in its top-left corner.
    if (x == kDefaultPosition) x = y = 0;
    if (width == kDefaultPosition || width < 0) width = 0;
    if (height == kDefaultPosition || height < 0) height = 0;
    std::unique_ptr<WindowObject> object(new (std::nothrow) WindowObject{
        windowClass, title != nullptr ? title : u"", style, extendedStyle, 0,
        Rect{x, y, x + width, y + height}, parent, instance, false, false, true});
    if (!object) return nullptr;
    WindowHandle window = object.get();
    system.windows.push_back(std::move(object));

    if (SendMessage(window, kMessageCreate, 0, 0) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    SendMessage(window, kMessageSize, 0, PackPoint(width, height));
    SendMessage(window, kMessageMove, 0, PackPoint(x, y));
    if ((style & kStyleVisible) != 0 && detail::LiveWindow(window) != nullptr) {
        window->visible = true;
        window->needsPaint = true;
        if (parent == nullptr) MoveFocus(window);
    }
    return detail::LiveWindow(window) != nullptr ? window : nullptr;
}

bool DestroyWindow(WindowHandle window) {
    WindowObject* object = detail::LiveWindow(window);
    if (object == nullptr) return false;
    SendMessage(window, kMessageDestroy, 0, 0);
    object->alive = false;
    object->visible = false;
    if (system.focus == window) system.focus = nullptr;
    return true;
}

bool IsWindow(WindowHandle window) {
    return detail::LiveWindow(window) != nullptr;
}

intptr_t SetWindowLong(WindowHandle window, int index, intptr_t value) {
    WindowObject* object = detail::LiveWindow(window);
    if (object == nullptr) return 0;
    intptr_t previous = 0;
    switch (index) {
    case kWindowLongStyle:
        previous = object->style;
        object->style = static_cast<uint32_t>(value);
        break;
    case kWindowLongExtendedStyle:
        previous = object->extendedStyle;
        object->extendedStyle = static_cast<uint32_t>(value);
        break;
    case kWindowLongUserData:
        previous = object->userData;
        object->userData = value;
        break;
    default:
        break;
    }
    return previous;
}

intptr_t GetWindowLong(WindowHandle window, int index) {
    const WindowObject* object = detail::LiveWindow(window);
    if (object == nullptr) return 0;
    switch (index) {
    case kWindowLongStyle:
        return object->style;
    case kWindowLongExtendedStyle:
        return object->extendedStyle;
    case kWindowLongUserData:
        return object->userData;
    default:
        return 0;
    }
}

bool AdjustWindowRect(Rect* rect, uint32_t style, bool, uint32_t) {
    if (rect == nullptr) return false;
    if ((style & kStyleCaption) == kStyleCaption) rect->top -= 24;
    if ((style & kStyleBorder) != 0) {
        rect->left -= 1;
        rect->top -= 1;
        rect->right += 1;
        rect->bottom += 1;
    }
    return true;
}

bool SetWindowText(WindowHandle window, const char16_t* text) {
    WindowObject* object = detail::LiveWindow(window);
    if (object == nullptr) return false;
    object->title = text != nullptr ? text : u"";
    SendMessage(window, kMessageSetText, 0, 0);
    return true;
}

std::u16string GetWindowText(WindowHandle window) {
    const WindowObject* object = detail::LiveWindow(window);
    return object != nullptr ? object->title : std::u16string();
}

bool SetWindowPosition(WindowHandle window, WindowHandle, int32_t x, int32_t y, int32_t width,
                       int32_t height, uint32_t flags) {
    WindowObject* object = detail::LiveWindow(window);
    if (object == nullptr) return false;
    Rect rect = object->rect;
    if ((flags & kPositionNoMove) == 0) {
        rect.right += x - rect.left;
        rect.bottom += y - rect.top;
        rect.left = x;
        rect.top = y;
    }
    if ((flags & kPositionNoSize) == 0) {
        rect.right = rect.left + (width > 0 ? width : 0);
        rect.bottom = rect.top + (height > 0 ? height : 0);
    }
    const bool moved = rect.left != object->rect.left || rect.top != object->rect.top;
    const bool sized = rect.right - rect.left != object->rect.right - object->rect.left ||
                       rect.bottom - rect.top != object->rect.bottom - object->rect.top;
    object->rect = rect;
    if (moved) SendMessage(window, kMessageMove, 0, PackPoint(rect.left, rect.top));
    if (sized) {
        SendMessage(window, kMessageSize, 0,
                    PackPoint(rect.right - rect.left, rect.bottom - rect.top));
    }
    if ((moved || sized) && detail::LiveWindow(window) != nullptr && object->visible)
        object->needsPaint = true;
    return true;
}

bool GetWindowRect(WindowHandle window, Rect* out) {
    const WindowObject* object = detail::LiveWindow(window);
    if (object == nullptr || out == nullptr) return false;
    *out = object->rect;
    return true;
}

bool GetClientRect(WindowHandle window, Rect* out) {
    const WindowObject* object = detail::LiveWindow(window);
    if (object == nullptr || out == nullptr) return false;
    *out =
        Rect{0, 0, object->rect.right - object->rect.left, object->rect.bottom - object->rect.top};
    return true;
}

bool ShowWindow(WindowHandle window, int mode) {
    WindowObject* object = detail::LiveWindow(window);
    if (object == nullptr) return false;
    const bool wasVisible = object->visible;
    if (mode != kShowHide && !wasVisible) {
        object->visible = true;
        object->needsPaint = true;
        if (object->parent == nullptr) MoveFocus(window);
    } else if (mode == kShowHide && wasVisible) {
        object->visible = false;
        if (system.focus == window) MoveFocus(nullptr);
    }
    return wasVisible;
}

bool UpdateWindow(WindowHandle window) {
    WindowObject* object = detail::LiveWindow(window);
    if (object == nullptr) return false;
    if (object->visible && object->needsPaint) SendMessage(window, kMessagePaint, 0, 0);
    return true;
}

bool InvalidateWindow(WindowHandle window) {
    WindowObject* object = detail::LiveWindow(window);
    if (object == nullptr) return false;
    object->needsPaint = object->visible;
    return true;
}

bool WindowNeedsPaint(WindowHandle window) {
    const WindowObject* object = detail::LiveWindow(window);
    return object != nullptr && object->needsPaint;
}

int32_t DefWindowProc(WindowHandle window, uint32_t message, uint32_t, int32_t) {
    if (system.listener != nullptr) system.listener(window, message, system.listenerContext);
    WindowObject* object = detail::LiveWindow(window);
    if (object == nullptr) return 0;
    switch (message) {
    case kMessagePaint:
        if (object->visible) PaintBackground(object);
        object->needsPaint = false;
        return 0;
    case kMessageClose:
        DestroyWindow(window);
        return 0;
    case kMessageSetText:
        return 1;
    default:
        return 0;
    }
}

int32_t HandleSettingChange(WindowHandle, uint32_t, int32_t, void*) {
    return 0;
}

WindowHandle GetFocusWindow() {
    return system.focus;
}

void SetDefaultProcessingListener(DefaultProcessingListener listener, void* context) {
    system.listener = listener;
    system.listenerContext = context;
}

} // namespace host
