// Conversions between the device's 16-bit wide strings and this machine's
// UTF-8 strings.
#pragma once
#include <string>

namespace host {

std::string ToUtf8(const char16_t* text);
std::string ToUtf8(const std::u16string& text);
std::u16string FromUtf8(const std::string& text);

} // namespace host
