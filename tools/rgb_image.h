// Pictures as the tools handle them: 8-bit RGB, row by row from the top, and
// their conversion to and from the engine's RGB565 texels.
#pragma once
#include <cstdint>
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

// Any PNG: palette, grey, 16-bit and alpha pictures become 8-bit RGB, alpha
// laid over black. False with a one-line reason in *error.
bool PngRead(const std::string& path, RgbImage* image, std::string* error);
bool PngWrite(const std::string& path, const RgbImage& image, std::string* error);
