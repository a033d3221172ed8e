// Handles of the device's objects, as the engine holds them.
#pragma once
#include <cstdint>

namespace host {

struct WindowObject; // a window of the device's window system
using WindowHandle = WindowObject*;
using InstanceHandle = void*; // the program instance

// Files are numbered by the device; all bits set marks a failed open.
using FileHandle = uint32_t;
constexpr FileHandle kInvalidFileHandle = 0xFFFFFFFFu;

} // namespace host
