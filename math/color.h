// Math stage, data: the engine's colours. Three 32-bit layouts meet in this
// system, each with its own name, so a constant says which it is:
//
//   RgbColor   0xRRGGBB: the engine's colours: vertex colours, the renderer's
//              diffuse and ambient colours, the shade ramp. The top byte is
//              carried and otherwise ignored; the low byte doubles as a
//              0..255 intensity for the shaded and textured fillers.
//   ArgbColor  0xAARRGGBB: an RgbColor with an alpha byte on top, as the
//              clock's draw nodes keep their colours; lighting reads the low
//              24 bits, so it serves wherever an RgbColor does.
//   host::DeviceColor 0x00BBGGRR: the device's own layout, red in the low
//              byte, for text on the window (host/text_drawing.h).
//
// Pixels are 16-bit RGB565 (red in bits 15-11, green 10-5, blue 4-0).
#pragma once
#include <cstdint>

using RgbColor = uint32_t;
using ArgbColor = uint32_t;

constexpr RgbColor PackRgb(uint32_t red, uint32_t green, uint32_t blue) {
    return (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
}

constexpr ArgbColor PackArgb(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) {
    return (alpha & 0xFF) << 24 | PackRgb(red, green, blue);
}

constexpr RgbColor kWhite = PackRgb(0xFF, 0xFF, 0xFF);
