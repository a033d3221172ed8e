// What the window system, the queue and the text drawing share inside the
// host: the window and class records and the lookups over them.
#pragma once
#include "host/messages.h"
#include "host/window.h"

#include <string>

namespace host {

struct BrushObject {
    uint32_t color; // 0x00BBGGRR
};

struct WindowClassRecord {
    std::u16string name;
    uint32_t style;
    WindowProcedure procedure;
    InstanceHandle instance;
    IconHandle icon;
    BrushHandle background;
};

struct WindowObject {
    const WindowClassRecord* windowClass;
    std::u16string title;
    uint32_t style;
    uint32_t extendedStyle;
    intptr_t userData;
    Rect rect; // in screen pixels; popups have no frame, so also the client area
    WindowHandle parent;
    InstanceHandle instance;
    bool visible;
    bool needsPaint;
    bool alive;
};

namespace detail {

// The window behind a handle, or null when the handle is not a live window.
WindowObject* LiveWindow(WindowHandle window);
// Visible live windows, newest first, until `visit` returns true.
WindowHandle FindWindow(bool (*visit)(WindowObject* window));
void ResetWindows();
void ResetQueue();
// Puts a message at the head of this thread's queue, full or not: the device's own
// Start press.
void PostFirst(const Message& message);

} // namespace detail
} // namespace host
