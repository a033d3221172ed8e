// The device's screen as a picture file: 8-bit RGB PNG, each 16-bit pixel
// expanded as R = r5 << 3 | r5 >> 2, G = g6 << 2 | g6 >> 4, B = b5 << 3 | b5 >> 2.
#pragma once
#include <cstdint>
#include <string>

namespace host {

// The 8-bit red, green and blue of a 16-bit pixel, into rgb[0..2].
void ExpandPixel(uint16_t pixel, uint8_t* rgb);

// Writes the whole screen (16-bit screens only). False with a one-line
// message in *error when it cannot.
bool WriteScreenshot(const std::string& path, std::string* error);

} // namespace host
