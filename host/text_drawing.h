// Device stage, text: text on a window, a device context with text and
// background colours and mode, measuring and drawing wide text in the device's
// built-in font (6x13 cells), straight into the screen memory.
#pragma once
#include "host/handles.h"
#include "host/window.h"

#include <cstdint>

namespace host {

struct DeviceContextObject;
using DeviceContext = DeviceContextObject*;

// The device's colours: 0x00BBGGRR, red in the low byte (the engine's own
// colours are 0xRRGGBB: math/color.h).
using DeviceColor = uint32_t;
constexpr DeviceColor PackDeviceColor(uint32_t red, uint32_t green, uint32_t blue) {
    return (blue & 0xFF) << 16 | (green & 0xFF) << 8 | (red & 0xFF);
}

constexpr int kBackgroundTransparent = 1;
constexpr int kBackgroundOpaque = 2;

constexpr int32_t kGlyphWidth = 6;
constexpr int32_t kGlyphHeight = 13;

// A context for drawing on the window (null window: the whole screen); null
// when the handle is not a window or no context can be had. Each is released
// with ReleaseDC.
DeviceContext GetDC(WindowHandle window);
int ReleaseDC(WindowHandle window, DeviceContext context);
int OpenDeviceContextCount(); // contexts not yet released (tests)

DeviceColor SetTextColor(DeviceContext context, DeviceColor color);       // previous colour
DeviceColor SetBackgroundColor(DeviceContext context, DeviceColor color); // previous colour
int SetBackgroundMode(DeviceContext context, int mode);                   // previous mode

struct Size {
    int32_t cx;
    int32_t cy;
};
bool MeasureText(DeviceContext context, const char16_t* text, int32_t length, Size* out);

constexpr uint32_t kTextOpaque = 2;  // fill the rectangle with the background first
constexpr uint32_t kTextClipped = 4; // draw only inside the rectangle
// Draws `length` characters at window position (x, y), clipped to the
// window and the screen. Characters the font lacks show as '?'.
bool DrawTextAt(DeviceContext context, int32_t x, int32_t y, uint32_t options, const Rect* rect,
                const char16_t* text, uint32_t length, const int32_t* spacing);

// The screen's 16-bit pixel for a colour of the device's layout.
uint16_t ColorToPixel(DeviceColor color);

} // namespace host
