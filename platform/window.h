// The Window: the device window of the program, with the window procedure of
// its class that passes each message along the chain message hook, then
// OnMessage, then the device's default processing.
#pragma once
#include "host/handles.h"

#include <cstdint>

using MessageHook = int32_t (*)(host::WindowHandle window, uint32_t message, uint32_t wordParam,
                                int32_t longParam);

class Window {
  public:
    // A Window without a device window (a stand-in parent).
    explicit Window(host::InstanceHandle instance);
    // Registers the class and creates the device window (WindowCreate).
    Window(host::InstanceHandle instance, Window* parent, const char16_t* className);
    virtual ~Window(); // WindowDestroy
    // The default: destroy posts quit (code 0) and answers 0; every other
    // message answers 1, so the default processing follows.
    virtual int32_t OnMessage(host::WindowHandle window, uint32_t message, uint32_t wordParam,
                              int32_t longParam);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    host::WindowHandle handle = nullptr;
    host::InstanceHandle instance = nullptr;
    MessageHook messageHook = nullptr;
};

host::WindowHandle WindowCreate(Window* window, Window* parent, const char16_t* className);
void WindowResize(Window* window, int32_t x, int32_t y, int32_t right, int32_t bottom,
                  uint32_t style, uint32_t extendedStyle, const char16_t* title);
void WindowDestroy(Window* window);
int32_t WindowProc(host::WindowHandle window, uint32_t message, uint32_t wordParam,
                   int32_t longParam);
