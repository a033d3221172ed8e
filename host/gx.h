// The device's game-screen library: full-screen access to the screen memory
// and the hardware buttons. The records and routines keep the library's own
// names; the controls further down belong to this emulation (tests and the
// device shell use them).
#pragma once
#include "host/handles.h"

#include <cstdint>

struct GXDisplayProperties {
    uint32_t width;  // screen pixels across
    uint32_t height; // screen pixels down
    int32_t xPitch;  // bytes from one pixel to the next in a row (may be negative)
    int32_t yPitch;  // bytes from one row to the next (may be negative)
    int32_t bitsPerPixel;
    uint32_t format; // kGXLandscape and friends
};

// One hardware button: the key code its key messages carry and where the
// button sits on the device's body.
struct GXKeyEntry {
    int16_t code;
    int32_t x;
    int32_t y;
};

struct GXKeyList {
    GXKeyEntry up;
    GXKeyEntry down;
    GXKeyEntry left;
    GXKeyEntry right;
    GXKeyEntry a;
    GXKeyEntry b;
    GXKeyEntry c;
    GXKeyEntry start;
};

constexpr uint32_t kGXFullScreen = 1;
constexpr int kGXNormalKeys = 2;
constexpr uint32_t kGXLandscape = 8;

int GXOpenDisplay(host::WindowHandle window, uint32_t flags); // non-zero: screen available
int GXCloseDisplay();
GXDisplayProperties GXGetDisplayProperties();
void* GXBeginDraw(); // the address of screen pixel (0, 0), or null
int GXEndDraw();
int GXSuspend();
int GXResume();
int GXOpenInput();
int GXCloseInput();
GXKeyList GXGetDefaultKeys(int options);

namespace host {

// The key codes of the device's buttons (the library's default key list).
constexpr uint16_t kKeyCodeUp = 0x26;
constexpr uint16_t kKeyCodeDown = 0x28;
constexpr uint16_t kKeyCodeLeft = 0x25;
constexpr uint16_t kKeyCodeRight = 0x27;
constexpr uint16_t kKeyCodeA = 0xC1;
constexpr uint16_t kKeyCodeB = 0xC2;
constexpr uint16_t kKeyCodeC = 0xC3;
constexpr uint16_t kKeyCodeStart = 0x86;

// How often each routine has been called since the last GxReset.
struct GxCalls {
    int openDisplay;
    int closeDisplay;
    int getDisplayProperties;
    int beginDraw;
    int endDraw;
    int suspend;
    int resume;
    int openInput;
    int closeInput;
    int getDefaultKeys;
    // Begin-draws refused because the program had given the screen up: a
    // program that draws only while it has the focus makes none.
    int beginDrawSuspended;
};
const GxCalls& GxCallCounts();

// The screen is available only to a program with a window. Failures a test
// can ask for: the screen is not available to the program,
// or the screen memory cannot be locked.
struct GxFaults {
    bool openDisplayFails = false;
    bool beginDrawFails = false;
};
void GxSetFaults(const GxFaults& faults);
void GxSetDefaultKeys(const GXKeyList& keys);
// The key list as the library hands it out, without counting a call (the
// device's own buttons use it).
const GXKeyList& GxCurrentKeys();

// Back to the start: display and input closed, counts zero, no faults, the
// device's own key list.
void GxReset();

bool GxDisplayOpen();
bool GxSuspended();

} // namespace host
