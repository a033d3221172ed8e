// Platform stage, the application: the App, base of every program on the
// engine. It owns the window, the display and the key input, holds a tick timer
// and a matrix stack, turns the device's messages into four overridable
// operations, records the stylus and runs the message loop that calls the
// per-frame operation.
#pragma once
#include "host/handles.h"
#include "host/text_drawing.h"
#include "math/matrix.h"
#include "platform/display.h"
#include "platform/key_input.h"
#include "platform/tick_timer.h"
#include "platform/window.h"

#include <cstdint>

class App {
  public:
    // Timer, window, display (opened with the window), window sized to the
    // screen, message hook, key input, frame buffer of the size given at the
    // logical origin, timer reset.
    App(host::InstanceHandle instance, int32_t frameWidth, int32_t frameHeight,
        const char16_t* name);
    // The plain construction: timer and fields only; no window, display or
    // input.
    App();
    // AppRelease; no virtual destructor: the App is never deleted through a
    // pointer to its base.
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    virtual void OnFrame() {}
    virtual void OnPaint() {}
    virtual void OnDeactivate() {}
    virtual void OnActivate() {}

    // The message loop: at most one message per pass, then OnFrame while
    // active; returns when it takes the quit message.
    void Run();
    // Deletes the key input, closes and deletes the display, deletes the window.
    void AppRelease();
    // Formatted wide text on the window at window position (x, y), in the
    // device's colours (host::DeviceColor, red in the low byte); a negative
    // background colour draws transparent.
    void DrawCaption(int32_t x, int32_t y, host::DeviceColor textColor, int32_t backgroundColor,
                     const char16_t* format, ...);

    Display* display = nullptr;
    TickTimer timer;
    Window* window = nullptr;
    Matrix matrixStack[32];
    int32_t matrixStackCapacity = 32;
    Matrix* matrixTop = nullptr;
    int32_t active = 0;
    uint32_t stylusX = 0;
    uint32_t stylusY = 0;
    uint32_t stylusButtons = 0;
};

// The single App of the process, and the KeyInput it created (null before
// that and after AppRelease).
extern App* currentApp;
extern KeyInput* currentKeyInput;

// Posts the quit message with the exit code: Run returns when it takes it.
void AppPostQuit(int32_t exitCode);

// The App's message hook: 0 when the message is handled, non-zero to let the
// window procedure go on along its chain.
int32_t AppMessageHook(host::WindowHandle window, uint32_t message, uint32_t wordParam,
                       int32_t longParam);
