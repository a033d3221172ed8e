// The device's debug output: one wide string at a time. On this machine the
// strings go to standard error as UTF-8, unchanged (their own "\r\n" included),
// and, when asked, to a log file as well. Tests listen in through a listener.
#pragma once

namespace host {

void DebugOutput(const char16_t* text);

// Called with every string handed to DebugOutput, before it is written out.
using DebugListener = void (*)(const char16_t* text, void* context);
void SetDebugListener(DebugListener listener, void* context);

// Standard error can be silenced (tests that provoke many messages).
void SetDebugToStderr(bool on);
// Append every string to this file as well; null or empty stops the log.
void SetDebugLogFile(const char* path);

} // namespace host
