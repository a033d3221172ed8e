// Pictures as the tools handle them: 8-bit RGB, row by row from the top, and
// their conversion to and from the engine's RGB565 texels.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct RgbImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgb; // width x height x 3 bytes
};

// Each channel rounded to its nearest 5- or 6-bit value.
uint16_t RgbTo565(uint8_t r, uint8_t g, uint8_t b);
// Bits repeated into the low bits, so white stays white and converting back
// gives the same texel.
void Rgb565ToRgb(uint16_t texel, uint8_t* rgb);

// Reads any PNG without holding more of it than a row: its declared size
// first, which accept(width, height, error) may refuse before a pixel is read,
// then its pixels as 8-bit RGB (palette, grey, 16-bit and alpha pictures
// converted, alpha laid over black). put(y, x, step, count, rgb) places count
// pixels in row y at columns x, x + step, ...: an interlaced picture comes in
// passes, a plain one in whole rows. A path that is not a regular file is
// refused unread. False with a one-line reason in *error.
using PngAccept = std::function<bool(uint32_t width, uint32_t height, std::string* error)>;
using PngPut =
    std::function<void(uint32_t y, uint32_t x, uint32_t step, uint32_t count, const uint8_t* rgb)>;
bool PngReadPixels(const std::string& path, const PngAccept& accept, const PngPut& put,
                   std::string* error);

// The whole picture in memory (pictures of up to 65535 x 65535).
bool PngRead(const std::string& path, RgbImage* image, std::string* error);
// Through host::WritePngFile: a failed write leaves the target as it was.
bool PngWrite(const std::string& path, const RgbImage& image, std::string* error);
