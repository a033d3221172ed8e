// The device's screen as a picture file: 8-bit RGB PNG, each 16-bit pixel
// expanded by ExpandPixel.
#pragma once
#include "host/screen.h"

#include <cstdint>
#include <string>

namespace host {

// Writes the whole screen (16-bit screens only). False with a one-line
// message in *error when it cannot.
bool WriteScreenshot(const std::string& path, std::string* error);

} // namespace host
