// The screen in one number: any run of the device, in any of its front ends,
// can be compared with another in one line.
#pragma once
#include <cstdint>
#include <string>

namespace host {

// FNV-1a (32-bit) over the 16-bit screen's pixels in row order, each pixel as
// two bytes, low byte first (0 for a screen that is not 16 bits deep).
uint32_t ScreenDigest();

// Eight lower-case hexadecimal digits.
std::string DigestText(uint32_t digest);

} // namespace host
