// Platform stage, the screen: the Display opens the device's screen through
// the game-screen library and sees it as a landscape logical screen; it owns
// the off-screen frame buffer the renderer draws into, and presents it
// (platform/presenter.cpp), turned a quarter turn where the screen is
// portrait.
#pragma once
#include "host/handles.h"
#include "math/fixed.h"

#include <cstddef>
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
// Every pixel the display handles, on the screen and in the frame buffer, is
// a 16-bit RGB565 pixel (DisplayOpen refuses other screens).
constexpr int32_t kPixelBytes = 2;

// The logical screen is the device's screen turned a quarter turn, whichever
// way the screen memory is laid out: logical x runs up the device's screen,
// logical y across it. A scene that is to stand upright on the device turns
// back by this angle about the line of sight.
constexpr int32_t kDisplayTurn = kQuarterTurn;

// The device's screen as the window covers it: the logical screen with its
// axes exchanged back (240 x 320 on the clock's device).
inline int32_t DisplayScreenWidth(const Display* display) {
    return display->height;
}
inline int32_t DisplayScreenHeight(const Display* display) {
    return display->width;
}

// The one addressing rule of the logical screen: logical (x, y) lies at the
// logical origin plus x steps of `x` bytes and y steps of `y` bytes. The
// frame's place, the present, the copies and the fills all go by it.
struct DisplaySteps {
    ptrdiff_t x;
    ptrdiff_t y;
};
DisplaySteps DisplayLogicalSteps(const Display* display);

int DisplayOpen(Display* display, host::WindowHandle window);
void DisplayClose(Display* display);
uint16_t* DisplayCreateFrameBuffer(Display* display, int32_t width, int32_t height);
void DisplayPlace(Display* display, int32_t x, int32_t y);
void DisplayClearFrame(Display* display, uint16_t color);
int DisplayBeginDraw(Display* display);
void DisplayEndDraw(Display* display);
int DisplayPresent(Display* display);
struct FrameTiles;
// The frame's marked tiles only, as DisplayPresent puts them (the rest of the
// frame's place on the screen is left as it is); every tile where the tiles
// stand for all.
int DisplayPresentTiles(Display* display, const FrameTiles& tiles);
void DisplayCopyRect(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
                     const void* source, int32_t sourceRowLength);
void DisplayCopyRect16(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
                       const void* source, int32_t sourceRowLength);
void DisplayFillRect(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
                     uint16_t color);
