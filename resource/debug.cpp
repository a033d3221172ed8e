// The engine's diagnostic lines: every message becomes one line at the
// device's debug output.
#include "resource/debug.h"

#include "host/debug_output.h"

namespace {

constexpr size_t kLineCharacters = 512;
// Room kept behind the formatted text for "\r\n" and the terminator.
constexpr size_t kLineEndCharacters = 2;

} // namespace

void DebugOutput(const char16_t* text) {
    host::DebugOutput(text);
}

void DebugPrint(const char16_t* format, ...) {
    char16_t line[kLineCharacters];
    va_list args;
    va_start(args, format);
    // A line too long for the buffer is cut, so it still ends in "\r\n".
    size_t length = WideFormat(line, kLineCharacters - kLineEndCharacters, format, args);
    va_end(args);
    line[length++] = u'\r';
    line[length++] = u'\n';
    line[length] = 0;
    DebugOutput(line);
}

void FailReport(const char16_t* message, const char16_t* file, int32_t line, int32_t code) {
    DebugPrint(u"AL Failed(%s) %d(%x)\n%s:%d", message, code, code, file, line);
}
