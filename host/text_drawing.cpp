// Device stage, text: device contexts and text drawn into the screen memory.
#include "host/text_drawing.h"

#include "host/font.h"
#include "host/screen.h"
#include "host/window_system.h"

#include <algorithm>
#include <new>

namespace host {

struct DeviceContextObject {
    WindowHandle window; // null: the whole screen
    DeviceColor textColor;
    DeviceColor backgroundColor;
    int backgroundMode;
};

namespace {

int openContexts = 0;

// Where the context draws: its window's rectangle on the screen (the whole
// screen for a null window), cut to the screen.
bool DrawingArea(const DeviceContextObject* context, Rect* area) {
    const GXDisplayProperties& screen = ScreenProperties();
    Rect bounds{0, 0, static_cast<int32_t>(screen.width), static_cast<int32_t>(screen.height)};
    if (context->window != nullptr) {
        const WindowObject* window = detail::LiveWindow(context->window);
        if (window == nullptr || !window->visible) return false;
        bounds.left = window->rect.left;
        bounds.top = window->rect.top;
        bounds.right = std::min(window->rect.right, bounds.right);
        bounds.bottom = std::min(window->rect.bottom, bounds.bottom);
    }
    *area = bounds;
    return true;
}

Rect Intersect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

void Fill(const Rect& r, uint16_t pixel) {
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x)
            ScreenSetPixel(x, y, pixel);
}

} // namespace

uint16_t ColorToPixel(DeviceColor color) {
    const uint32_t red = color & 0xFF;
    const uint32_t green = (color >> 8) & 0xFF;
    const uint32_t blue = (color >> 16) & 0xFF;
    return static_cast<uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

DeviceContext GetDC(WindowHandle window) {
    if (window != nullptr && !IsWindow(window)) return nullptr;
    auto* context =
        new (std::nothrow) DeviceContextObject{window, 0x000000, 0xFFFFFF, kBackgroundOpaque};
    if (context != nullptr) ++openContexts;
    return context;
}

int ReleaseDC(WindowHandle, DeviceContext context) {
    if (context == nullptr) return 0;
    delete context;
    --openContexts;
    return 1;
}

int OpenDeviceContextCount() {
    return openContexts;
}

DeviceColor SetTextColor(DeviceContext context, DeviceColor color) {
    if (context == nullptr) return 0;
    const DeviceColor previous = context->textColor;
    context->textColor = color;
    return previous;
}

DeviceColor SetBackgroundColor(DeviceContext context, DeviceColor color) {
    if (context == nullptr) return 0;
    const DeviceColor previous = context->backgroundColor;
    context->backgroundColor = color;
    return previous;
}

int SetBackgroundMode(DeviceContext context, int mode) {
    if (context == nullptr || (mode != kBackgroundTransparent && mode != kBackgroundOpaque))
        return 0;
    const int previous = context->backgroundMode;
    context->backgroundMode = mode;
    return previous;
}

bool MeasureText(DeviceContext context, const char16_t* text, int32_t length, Size* out) {
    if (context == nullptr || out == nullptr || length < 0 || (text == nullptr && length > 0))
        return false;
    out->cx = length * kGlyphWidth;
    out->cy = kGlyphHeight;
    return true;
}

bool DrawTextAt(DeviceContext context, int32_t x, int32_t y, uint32_t options, const Rect* rect,
                const char16_t* text, uint32_t length, const int32_t* spacing) {
    if (context == nullptr || (text == nullptr && length > 0)) return false;
    Rect clip{};
    if (!DrawingArea(context, &clip)) return false;
    const int32_t originX = clip.left;
    const int32_t originY = context->window != nullptr ? clip.top : 0;
    const uint16_t background = ColorToPixel(context->backgroundColor);
    if (rect != nullptr && (options & (kTextOpaque | kTextClipped)) != 0) {
        const Rect onScreen{rect->left + originX, rect->top + originY, rect->right + originX,
                            rect->bottom + originY};
        if (options & kTextOpaque) Fill(Intersect(onScreen, clip), background);
        if (options & kTextClipped) clip = Intersect(onScreen, clip);
    }
    const uint16_t ink = ColorToPixel(context->textColor);
    const bool opaque = context->backgroundMode == kBackgroundOpaque;
    int32_t cellX = x + originX;
    const int32_t cellY = y + originY;
    for (uint32_t i = 0; i < length; ++i) {
        const uint8_t* rows = GlyphRows(text[i]);
        for (int32_t row = 0; row < kGlyphHeight; ++row) {
            const int32_t sy = cellY + row;
            if (sy < clip.top || sy >= clip.bottom) continue;
            for (int32_t column = 0; column < kGlyphWidth; ++column) {
                const int32_t sx = cellX + column;
                if (sx < clip.left || sx >= clip.right) continue;
                if ((rows[row] >> (kGlyphWidth - 1 - column)) & 1) {
                    ScreenSetPixel(sx, sy, ink);
                } else if (opaque) {
                    ScreenSetPixel(sx, sy, background);
                }
            }
        }
        cellX += spacing != nullptr ? spacing[i] : kGlyphWidth;
    }
    ScreenTouched();
    return true;
}

} // namespace host
