// The game-screen library over the device's screen memory.
#include "host/gx.h"

#include "host/screen.h"

namespace {

constexpr GXKeyList kDeviceKeys = {
    {host::kKeyCodeUp, 120, 340},   {host::kKeyCodeDown, 120, 380},
    {host::kKeyCodeLeft, 100, 360}, {host::kKeyCodeRight, 140, 360},
    {host::kKeyCodeA, 20, 360},     {host::kKeyCodeB, 60, 360},
    {host::kKeyCodeC, 180, 360},    {host::kKeyCodeStart, 220, 360},
};

struct Library {
    host::GxCalls calls{};
    host::GxFaults faults{};
    GXKeyList keys = kDeviceKeys;
    bool displayOpen = false;
    bool inputOpen = false;
    bool suspended = false;
    int drawing = 0;
};

Library library;

} // namespace

int GXOpenDisplay(host::WindowHandle window, uint32_t) {
    ++library.calls.openDisplay;
    if (window == nullptr || library.faults.openDisplayFails) return 0;
    library.displayOpen = true;
    library.suspended = false;
    return 1;
}

int GXCloseDisplay() {
    ++library.calls.closeDisplay;
    const bool wasOpen = library.displayOpen;
    library.displayOpen = false;
    library.drawing = 0;
    return wasOpen ? 1 : 0;
}

GXDisplayProperties GXGetDisplayProperties() {
    ++library.calls.getDisplayProperties;
    return host::ScreenProperties();
}

// The screen memory belongs to the program only while the display is open
// and the program has not given the screen up (suspended).
void* GXBeginDraw() {
    ++library.calls.beginDraw;
    if (library.suspended) ++library.calls.beginDrawSuspended;
    if (!library.displayOpen || library.suspended || library.faults.beginDrawFails) return nullptr;
    ++library.drawing;
    return host::ScreenOrigin();
}

int GXEndDraw() {
    ++library.calls.endDraw;
    if (library.drawing == 0) return 0;
    --library.drawing;
    host::ScreenTouched();
    return 1;
}

int GXSuspend() {
    ++library.calls.suspend;
    library.suspended = true;
    return 1;
}

int GXResume() {
    ++library.calls.resume;
    library.suspended = false;
    return 1;
}

int GXOpenInput() {
    ++library.calls.openInput;
    library.inputOpen = true;
    return 1;
}

int GXCloseInput() {
    ++library.calls.closeInput;
    const bool wasOpen = library.inputOpen;
    library.inputOpen = false;
    return wasOpen ? 1 : 0;
}

GXKeyList GXGetDefaultKeys(int) {
    ++library.calls.getDefaultKeys;
    return library.keys;
}

namespace host {

const GxCalls& GxCallCounts() {
    return library.calls;
}

void GxSetFaults(const GxFaults& faults) {
    library.faults = faults;
}

void GxSetDefaultKeys(const GXKeyList& keys) {
    library.keys = keys;
}

const GXKeyList& GxCurrentKeys() {
    return library.keys;
}

void GxReset() {
    library = Library{};
}

bool GxDisplayOpen() {
    return library.displayOpen;
}

bool GxSuspended() {
    return library.suspended;
}

} // namespace host
