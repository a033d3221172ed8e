// Copying pixels to the screen: the frame buffer (DisplayPresent) and blocks
// and fills at logical positions. The straight path moves whole rows; the
// turned path turns the pixels in tiles (platform/turned_copy.h).
#include "platform/display.h"
#include "platform/pixel_run.h"
#include "platform/turned_copy.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// Straight path: rows forward, `unit` bytes (4 or 2) per transfer; the skips
// drop the bits below the transfer size.
template <int unit>
void CopyStraight(const Display* display, uint8_t* dst, int32_t width, int32_t height,
                  const uint8_t* source, int32_t sourceRowLength) {
    const int32_t bpp = display->bytesPerPixel;
    const int32_t mask = ~(unit - 1);
    const int32_t units = (bpp * width) >> (unit == 4 ? 2 : 1);
    const int32_t dstSkip = (((display->yPitch >> 1) - width) * bpp) & mask;
    const int32_t sourceSkip = ((sourceRowLength - width) * bpp) & mask;
    const size_t rowBytes = static_cast<size_t>(units > 0 ? units : 0) * unit;
    for (int32_t row = 0; row < height; ++row) {
        std::memcpy(dst, source, rowBytes);
        dst += rowBytes + dstSkip;
        source += rowBytes + sourceSkip;
    }
}

// Turned path: source row r goes up the screen column r to the right of dst,
// its pixel c lands c screen rows up; a row's skip drops its lowest bit.
void CopyTurnedRows(const Display* display, uint8_t* dst, int32_t width, int32_t height,
                    const uint8_t* source, int32_t sourceRowLength) {
    const ptrdiff_t step = 2 * (display->xPitch >> 1);
    const int32_t sourceSkip = ((sourceRowLength - width) * display->bytesPerPixel) & ~1;
    CopyTurned(dst, step, source, 2 * static_cast<ptrdiff_t>(width) + sourceSkip, width, height);
}

bool Straight(const Display* display) {
    return (display->formatFlags & kFormatLandscape) != 0;
}

uint8_t* LogicalAddress(const Display* display, int32_t x, int32_t y) {
    if (Straight(display))
        return display->screen + (x + y * (display->yPitch >> 1)) * display->bytesPerPixel;
    return display->screen + (y - x * (display->xPitch >> 1)) * display->bytesPerPixel;
}

template <int unit>
void CopyRect(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
              const void* source, int32_t sourceRowLength) {
    if (source == nullptr || !DisplayBeginDraw(display)) return;
    uint8_t* dst = LogicalAddress(display, x, y);
    const auto* pixels = static_cast<const uint8_t*>(source);
    if (Straight(display)) {
        CopyStraight<unit>(display, dst, width, height, pixels, sourceRowLength);
    } else {
        CopyTurnedRows(display, dst, width, height, pixels, sourceRowLength);
    }
    DisplayEndDraw(display);
}

} // namespace

// Without a frame buffer there is nothing to show: the screen is left alone.
int DisplayPresent(Display* display) {
    if (display->frameBuffer == nullptr) return 0;
    if (!DisplayBeginDraw(display)) return 0;
    uint8_t* dst = display->screen + display->frameOffset;
    const auto* source = reinterpret_cast<const uint8_t*>(display->frameBuffer);
    if (Straight(display)) {
        CopyStraight<4>(display, dst, display->frameWidth, display->frameHeight, source,
                        display->frameWidth);
    } else {
        CopyTurnedRows(display, dst, display->frameWidth, display->frameHeight, source,
                       display->frameWidth);
    }
    DisplayEndDraw(display);
    return 1;
}

void DisplayCopyRect(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
                     const void* source, int32_t sourceRowLength) {
    CopyRect<4>(display, x, y, width, height, source, sourceRowLength);
}

void DisplayCopyRect16(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
                       const void* source, int32_t sourceRowLength) {
    CopyRect<2>(display, x, y, width, height, source, sourceRowLength);
}

void DisplayFillRect(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
                     uint16_t color) {
    if (!DisplayBeginDraw(display)) return;
    if (Straight(display)) {
        const int32_t bpp = display->bytesPerPixel;
        uint8_t* dst = display->screen + (x + y * (display->yPitch >> 1)) * bpp;
        const int32_t words = std::max((bpp * width) >> 2, 0);
        const int32_t skip = (((display->yPitch >> 1) - width) * bpp) & ~3;
        const PixelRun run(color);
        for (int32_t row = 0; row < height; ++row) {
            run.Fill(dst, 2 * words);
            dst += 4 * words + skip;
        }
    } else {
        // Two bytes per pixel here whatever the screen's depth, as the turned
        // path always writes 16-bit pixels.
        const int32_t step = 2 * (display->xPitch >> 1);
        uint8_t* column = display->screen + (y - x * (display->xPitch >> 1)) * 2;
        const PixelRun run(color);
        for (int32_t i = 0; i < width; ++i) {
            run.Fill(column, height);
            column -= step;
        }
    }
    DisplayEndDraw(display);
}
