// Device stage, the device around the program: its front end (what shows the
// screen and takes input), the buttons and stylus that put messages into the
// program's queue, the pressing of Start after a number of frames, what the
// program tells the device of its memory, and the return of the whole device to
// its first state.
#pragma once
#include "host/handles.h"

#include <cstdint>

namespace host {

// A front end is asked for news at every poll of the message queue: it turns
// its input into device input (below), shows the screen when it has changed
// and paces the polls to its display.
class FrontEnd {
  public:
    virtual ~FrontEnd() = default;
    virtual void Poll() = 0;
};
void DeviceSetFrontEnd(FrontEnd* frontEnd); // null: headless

// The window the device's input goes to: the focus window, else the newest
// visible top-level window (null when there is none).
WindowHandle DeviceInputWindow();

// Device input, posted to the input window's queue (lost when it is full, as
// on a device).
void DevicePressKey(uint16_t keyCode, bool down);
// message is stylus move, down or up; (x, y) in screen pixels.
void DeviceStylus(uint32_t message, int32_t x, int32_t y);
// The program's window gains or loses the focus (only a change is posted).
// False when the queue was full: the focus is then as it was.
bool DeviceFocus(bool gained);
// The user closes the program's window.
void DeviceClose();

// After the program's `frames`-th frame the device presses Start. The device
// counts frames by the polls of the queue: the program's loop polls once per
// pass and draws a frame in every pass while its window has the focus (the
// focus messages it has taken tell the device when it has not).
void DeviceSetStartAfterFrames(uint32_t frames);
void DeviceClearStartAfterFrames();
uint32_t DeviceFramesCounted();

// The device shell's own work at every poll, given the frame count once it is
// up to date and before Start is pressed: the reports and input storms of
// reliability runs. Null: none.
using PollWork = void (*)(uint32_t frames);
void DeviceSetPollWork(PollWork work);

// Called by the queue at every poll: the front end's news, the frame count
// and, when its time has come, the Start key.
void DeviceOnPoll();
// Told by the queue about every message it hands out.
void DeviceOnMessageTaken(uint32_t message);

// The memory the program has in use as its own allocator counts it. The
// program tells the device, when it starts, how to read the count; the device
// shell's reports read it. A program that has told nothing has none.
struct ProgramMemory {
    int32_t blocks;
    int32_t bytes;
};
using ProgramMemoryProbe = ProgramMemory (*)();
void DeviceSetProgramMemoryProbe(ProgramMemoryProbe probe);
ProgramMemory DeviceProgramMemory();

// Windows, classes, queue, focus, screen, game-screen library, frame count,
// front end and the program's probe back to the device's first state.
void DeviceReset();

} // namespace host

// The program's entry, which the program defines: the device starts the
// program by calling it with the four start-up arguments of a windowed
// program, and the program ends the process from there.
[[noreturn]] void ProgramEntry(host::InstanceHandle instance, host::InstanceHandle previous,
                               char16_t* commandLine, int32_t showMode);
