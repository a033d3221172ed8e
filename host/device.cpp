// Device stage, the device around the program: front end, input, the frame
// count behind the Start press, and the return to the first state.
#include "host/device.h"

#include "host/gx.h"
#include "host/screen.h"
#include "host/window_system.h"

namespace host {
namespace {

struct Device {
    FrontEnd* frontEnd = nullptr;
    bool focused = true; // the program's window has the focus as the device shows it
    bool startArmed = false;
    uint32_t startAfter = 0;
    uint32_t frames = 0;
    bool polled = false;
    // Whether the program draws in the pass that follows a poll: its loop
    // starts active and follows the focus messages it takes.
    bool drawing = true;
    PollWork pollWork = nullptr;
    ProgramMemoryProbe memoryProbe = nullptr;
};

Device device;

bool TopLevel(WindowObject* window) {
    return window->parent == nullptr;
}

} // namespace

void DeviceSetFrontEnd(FrontEnd* frontEnd) {
    device.frontEnd = frontEnd;
}

WindowHandle DeviceInputWindow() {
    const WindowHandle focus = GetFocusWindow();
    if (IsWindow(focus)) return focus;
    return detail::FindWindow(TopLevel);
}

void DevicePressKey(uint16_t keyCode, bool down) {
    const WindowHandle window = DeviceInputWindow();
    if (window == nullptr) return;
    PostMessage(window, down ? kMessageKeyDown : kMessageKeyUp, keyCode,
                down ? 1 : static_cast<int32_t>(0xC0000001u));
}

void DeviceStylus(uint32_t message, int32_t x, int32_t y) {
    const WindowHandle window = DeviceInputWindow();
    Rect rect{};
    if (window == nullptr || !GetWindowRect(window, &rect)) return;
    const uint32_t position = (static_cast<uint32_t>(y - rect.top) << 16) |
                              (static_cast<uint32_t>(x - rect.left) & 0xFFFF);
    PostMessage(window, message, message == kMessageStylusUp ? 0 : kStylusButton,
                static_cast<int32_t>(position));
}

bool DeviceFocus(bool gained) {
    if (gained == device.focused) return true;
    const WindowHandle window = DeviceInputWindow();
    if (window == nullptr) return true;
    if (!PostMessage(window, gained ? kMessageFocusGained : kMessageFocusLost, 0, 0)) return false;
    device.focused = gained;
    return true;
}

void DeviceClose() {
    const WindowHandle window = DeviceInputWindow();
    if (window != nullptr) PostMessage(window, kMessageClose, 0, 0);
}

void DeviceSetStartAfterFrames(uint32_t frames) {
    device.startArmed = true;
    device.startAfter = frames;
}

void DeviceClearStartAfterFrames() {
    device.startArmed = false;
}

uint32_t DeviceFramesCounted() {
    return device.frames;
}

// A poll follows the pass before it, which drew a frame if the program was
// drawing; so after the N-th frame the poll that comes next hands out Start,
// and the program's next frame finds the key held.
void DeviceOnPoll() {
    if (device.frontEnd != nullptr) device.frontEnd->Poll();
    if (device.polled && device.drawing) ++device.frames;
    device.polled = true;
    if (device.pollWork != nullptr) device.pollWork(device.frames);
    if (device.startArmed && device.frames >= device.startAfter) {
        device.startArmed = false;
        const WindowHandle window = DeviceInputWindow();
        if (window != nullptr)
            detail::PostFirst(Message{window, kMessageKeyDown,
                                      static_cast<uint16_t>(GxCurrentKeys().start.code), 1, 0});
    }
}

void DeviceSetPollWork(PollWork work) {
    device.pollWork = work;
}

void DeviceSetProgramMemoryProbe(ProgramMemoryProbe probe) {
    device.memoryProbe = probe;
}

ProgramMemory DeviceProgramMemory() {
    return device.memoryProbe != nullptr ? device.memoryProbe() : ProgramMemory{0, 0};
}

void DeviceOnMessageTaken(uint32_t message) {
    if (message == kMessageFocusGained) device.drawing = true;
    if (message == kMessageFocusLost || message == kMessageDestroy) device.drawing = false;
}

void DeviceReset() {
    detail::ResetQueue();
    detail::ResetWindows();
    GxReset();
    ScreenSetUp(DefaultScreenProperties());
    device = Device{};
}

} // namespace host
