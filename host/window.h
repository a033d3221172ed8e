// The device's window system: window classes, windows, their user data and
// styles, placement, showing and painting, and the default processing of
// messages. One top-level window is all the device shows; it lies on the
// screen at its position and draws into the screen memory.
#pragma once
#include "host/handles.h"

#include <cstdint>
#include <string>

namespace host {

// Message numbers of the device.
constexpr uint32_t kMessageCreate = 1;
constexpr uint32_t kMessageDestroy = 2;
constexpr uint32_t kMessageMove = 3;
constexpr uint32_t kMessageSize = 5;
constexpr uint32_t kMessageFocusGained = 7;
constexpr uint32_t kMessageFocusLost = 8;
constexpr uint32_t kMessageSetText = 12;
constexpr uint32_t kMessagePaint = 15;
constexpr uint32_t kMessageClose = 16;
constexpr uint32_t kMessageQuit = 18;
constexpr uint32_t kMessageSettingChange = 26;
constexpr uint32_t kMessageKeyDown = 256;
constexpr uint32_t kMessageKeyUp = 257;
constexpr uint32_t kMessageCommand = 273;
constexpr uint32_t kMessageStylusMove = 512;
constexpr uint32_t kMessageStylusDown = 513;
constexpr uint32_t kMessageStylusUp = 514;

// The stylus's button bit in the word parameter of the stylus messages.
constexpr uint32_t kStylusButton = 1;

using WindowProcedure = int32_t (*)(WindowHandle window, uint32_t message, uint32_t wordParam,
                                    int32_t longParam);

struct IconObject;
using IconHandle = IconObject*;
struct CursorObject;
using CursorHandle = CursorObject*;
struct BrushObject;
using BrushHandle = BrushObject*;

struct WindowClass {
    uint32_t style;
    WindowProcedure procedure;
    int32_t classExtraBytes;
    int32_t windowExtraBytes;
    InstanceHandle instance;
    IconHandle icon;
    CursorHandle cursor;
    BrushHandle background;
    const char16_t* menuName;
    const char16_t* className;
};

// A class number, or 0 when the class cannot be registered (no procedure or
// name, or a class of that name exists already).
uint16_t RegisterWindowClass(const WindowClass& windowClass);

// The program carries no icon resources on this device: always null.
IconHandle LoadIcon(InstanceHandle instance, const char16_t* name);

constexpr int kStockBlackBrush = 4;
BrushHandle GetStockObject(int index); // null for stock objects the device lacks

constexpr int32_t kDefaultPosition = static_cast<int32_t>(0x80000000u);
constexpr uint32_t kStylePopup = 0x80000000u;
constexpr uint32_t kStyleVisible = 0x10000000u;
constexpr uint32_t kStyleCaption = 0x00C00000u;
constexpr uint32_t kStyleBorder = 0x00800000u;

// Creates a window of a registered class. The messages of creation (create,
// size, move, and focus gained for a visible top-level window) go to the
// class's procedure before this returns. Null when the class is unknown.
WindowHandle CreateWindow(uint32_t extendedStyle, const char16_t* className, const char16_t* title,
                          uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                          WindowHandle parent, void* menu, InstanceHandle instance,
                          void* parameter);
// Sends destroy to the window, then it is gone: its handle is no longer a
// window. False for a handle that is not a window.
bool DestroyWindow(WindowHandle window);
bool IsWindow(WindowHandle window);

constexpr int kWindowLongStyle = -16;
constexpr int kWindowLongExtendedStyle = -20;
constexpr int kWindowLongUserData = -21;
// Returns the previous value; 0 for a handle that is not a window.
intptr_t SetWindowLong(WindowHandle window, int index, intptr_t value);
intptr_t GetWindowLong(WindowHandle window, int index);

struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Enlarges a client rectangle by the frame that the style gives.
bool AdjustWindowRect(Rect* rect, uint32_t style, bool hasMenu, uint32_t extendedStyle);
bool SetWindowText(WindowHandle window, const char16_t* text);
std::u16string GetWindowText(WindowHandle window);

constexpr uint32_t kPositionNoSize = 1;
constexpr uint32_t kPositionNoMove = 2;
constexpr uint32_t kPositionNoZOrder = 4;
bool SetWindowPosition(WindowHandle window, WindowHandle insertAfter, int32_t x, int32_t y,
                       int32_t width, int32_t height, uint32_t flags);
bool GetWindowRect(WindowHandle window, Rect* out); // in screen pixels
bool GetClientRect(WindowHandle window, Rect* out); // from (0, 0)

constexpr int kShowHide = 0;
constexpr int kShowNormal = 1;
// Returns whether the window was visible before.
bool ShowWindow(WindowHandle window, int mode);
// Sends paint at once when the window needs painting.
bool UpdateWindow(WindowHandle window);
// Marks the whole window as needing paint.
bool InvalidateWindow(WindowHandle window);
bool WindowNeedsPaint(WindowHandle window);

// Default processing: paint fills the window with its class's background and
// validates it; close destroys the window; setting the text answers 1;
// everything else answers 0.
int32_t DefWindowProc(WindowHandle window, uint32_t message, uint32_t wordParam, int32_t longParam);

// The shell's handler for the setting-change message; `info` is the caller's
// record that the shell keeps between calls. Nothing to do on this device.
int32_t HandleSettingChange(WindowHandle window, uint32_t wordParam, int32_t longParam, void* info);

// The window that receives key messages (null when none has the focus).
WindowHandle GetFocusWindow();

// Tests listen in on the default processing.
using DefaultProcessingListener = void (*)(WindowHandle window, uint32_t message, void* context);
void SetDefaultProcessingListener(DefaultProcessingListener listener, void* context);

} // namespace host
