// The Display: the screen opened through the game-screen library, seen as a
// landscape logical screen; the off-screen frame buffer the renderer draws
// into; and the presenter that copies it to the screen, turned a quarter turn
// where the screen is portrait.
#pragma once
#include "host/handles.h"

#include <cstdint>

class Display {
  public:
    Display() = default;
    explicit Display(host::WindowHandle window);
    virtual ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    host::WindowHandle windowHandle = nullptr;
    uint8_t* screen = nullptr; // the logical origin in screen memory, while drawing
    uint16_t* frameBuffer = nullptr;
    int32_t drawDepth = 0;
    int32_t originOffset = 0;
    int32_t width = 0;  // logical screen width
    int32_t height = 0; // logical screen height
    int32_t bitsPerPixel = 0;
    int32_t bytesPerPixel = 0;
    uint32_t formatFlags = 0;
    int32_t xPitch = 0;
    int32_t yPitch = 0;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    int32_t frameSize = 0;
    int32_t frameOffset = 0;
};

constexpr uint32_t kFormatLandscape = 8;

int DisplayOpen(Display* display, host::WindowHandle window);
void DisplayClose(Display* display);
uint16_t* DisplayCreateFrameBuffer(Display* display, int32_t width, int32_t height);
void DisplayPlace(Display* display, int32_t x, int32_t y);
void DisplayClearFrame(Display* display, uint16_t color);
int DisplayBeginDraw(Display* display);
void DisplayEndDraw(Display* display);
int DisplayPresent(Display* display);
void DisplayCopyRect(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
                     const void* source, int32_t sourceRowLength);
void DisplayCopyRect16(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
                       const void* source, int32_t sourceRowLength);
void DisplayFillRect(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
                     uint16_t color);
