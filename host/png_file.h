// PNG pictures on this machine: the device's screenshots and the tools'
// pictures are written here, and libpng's errors reported the same way for
// reading and writing.
#pragma once
#include <png.h>

#include <cstdint>
#include <functional>
#include <string>

namespace host {

// libpng reports through these: the message is kept and the call jumps back
// to the setjmp of the step that made it, which gives up.
struct PngErrors {
    char message[200] = {};
};
// Read and write structures that report into `errors`.
png_structp PngCreateRead(PngErrors* errors);
png_structp PngCreateWrite(PngErrors* errors);

// Writes an 8-bit RGB PNG of width x height through WriteWholeFile, so a
// failed write leaves the target as it was. row(y, error) gives the 3 x width
// bytes of row y, top to bottom, or null with *error set to give up.
using PngRowSource = std::function<const uint8_t*(uint32_t y, std::string* error)>;
bool WritePngFile(const std::string& path, uint32_t width, uint32_t height, const PngRowSource& row,
                  std::string* error);

} // namespace host
