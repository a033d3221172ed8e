// Platform stage, the screen: opening and closing it, its addressing rule,
// the frame buffer and its place, and the nested lock of the screen memory.
#include "platform/display.h"

#include "host/gx.h"
#include "host/raw_heap.h"
#include "platform/pixel_run.h"
#include "resource/debug.h"

Display::Display(host::WindowHandle window) {
    DisplayOpen(this, window);
}

Display::~Display() {
    DisplayClose(this);
}

int DisplayOpen(Display* display, host::WindowHandle window) {
    display->windowHandle = window;
    if (GXOpenDisplay(window, kGXFullScreen) == 0) return 0;

    const GXDisplayProperties properties = GXGetDisplayProperties();
    const int32_t screenWidth = static_cast<int32_t>(properties.width);
    const int32_t screenHeight = static_cast<int32_t>(properties.height);
    display->bytesPerPixel = properties.bitsPerPixel >> 3;
    display->width = screenWidth;
    display->height = screenHeight;
    display->bitsPerPixel = properties.bitsPerPixel;
    display->formatFlags = properties.format;
    display->xPitch = properties.xPitch;
    display->yPitch = properties.yPitch;
    display->originOffset = 0;
    // Every drawing path writes 16-bit pixels, so a screen of any other depth
    // would be written past its memory: it is refused like a shallow or small
    // one. What draws on the screen may count on 2 bytes per pixel.
    if (properties.bitsPerPixel != 16 || screenWidth < 240 || screenHeight < 240) {
        DisplayClose(display);
        return 0;
    }

    // The logical screen is landscape: its x runs along the screen's rows
    // (upward from the last one), its y along the screen's columns.
    display->width = screenHeight;
    display->height = screenWidth;
    display->xPitch = properties.yPitch;
    display->yPitch = properties.xPitch;
    display->originOffset = (screenHeight - 1) * properties.yPitch;
    display->drawDepth = 0;
    return 1;
}

void DisplayClose(Display* display) {
    if (display->windowHandle != nullptr) {
        GXCloseDisplay();
        display->windowHandle = nullptr;
    }
    if (display->frameBuffer != nullptr) {
        host::RawFree(display->frameBuffer);
        display->frameBuffer = nullptr;
    }
}

// The frame buffer holds 16-bit pixels whatever the screen (the renderer
// writes no other kind), so even a refused or unopened screen gets a buffer
// that can be drawn into. A frame buffer that cannot be had leaves a 0 x 0
// frame, which nothing draws into.
uint16_t* DisplayCreateFrameBuffer(Display* display, int32_t width, int32_t height) {
    if (display->frameBuffer != nullptr) {
        host::RawFree(display->frameBuffer);
        display->frameBuffer = nullptr;
    }
    display->frameOffset = 0;
    display->frameWidth = 0;
    display->frameHeight = 0;
    display->frameSize = 0;
    const bool sane = width > 0 && height > 0 && width <= 4096 && height <= 4096;
    const int32_t size = sane ? kPixelBytes * width * height : 0;
    void* block = sane ? host::RawAlloc(static_cast<size_t>(size)) : nullptr;
    if (block == nullptr) {
        DebugPrint(u"FrameBufferAllocError");
        return nullptr;
    }
    display->frameBuffer = static_cast<uint16_t*>(block);
    display->frameWidth = width;
    display->frameHeight = height;
    display->frameSize = size;
    return display->frameBuffer;
}

// Pitches are taken in whole pixels: a pitch of an odd number of bytes loses
// its last byte.
DisplaySteps DisplayLogicalSteps(const Display* display) {
    if (display->formatFlags & kFormatLandscape) {
        // Straight: x along a screen row, y from row to row.
        return {kPixelBytes, kPixelBytes * static_cast<ptrdiff_t>(display->yPitch >> 1)};
    }
    // Turned: x one screen row up, y along a screen row.
    return {-kPixelBytes * static_cast<ptrdiff_t>(display->xPitch >> 1), kPixelBytes};
}

void DisplayPlace(Display* display, int32_t x, int32_t y) {
    const DisplaySteps steps = DisplayLogicalSteps(display);
    display->frameOffset = static_cast<int32_t>(x * steps.x + y * steps.y);
}

void DisplayClearFrame(Display* display, uint16_t color) {
    if (display->frameBuffer == nullptr) return;
    const int32_t words = display->frameSize >> 2;
    PixelRun(color).Fill(reinterpret_cast<uint8_t*>(display->frameBuffer), 2 * words);
}

int DisplayBeginDraw(Display* display) {
    if (display->drawDepth++ != 0) return 1;
    auto* memory = static_cast<uint8_t*>(GXBeginDraw());
    if (memory == nullptr) {
        display->screen = nullptr;
        --display->drawDepth;
        return 0;
    }
    display->screen = memory + display->originOffset;
    return 1;
}

// An end without a begin is ignored: the depth must not go below 0, or the
// next begin would think the screen locked and draw through a stale address.
void DisplayEndDraw(Display* display) {
    if (display->drawDepth <= 0) return;
    if (--display->drawDepth == 0) GXEndDraw();
}
