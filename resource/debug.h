// The engine's one diagnostic channel: lines to the device's debug output.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <cstdint>

// Wide strings are 16-bit throughout the engine, as on the device.
void DebugOutput(const char16_t* text);
// printf-style: "%s" takes a wide string, "%d" an int, "%x" lowercase hex.
// The line is cut to fit its 512-character buffer and ends in "\r\n".
void DebugPrint(const char16_t* format, ...);
void FailReport(const char16_t* message, const char16_t* file, int32_t line, int32_t code);

// The bounded wide formatter behind DebugPrint: writes at most capacity - 1
// characters and a terminator; returns the characters written.
size_t WideFormat(char16_t* out, size_t capacity, const char16_t* format, va_list args);
