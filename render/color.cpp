// Span fill's colours: 0xRRGGBB colours to RGB565 pixels, and the renderer's
// shade ramp, 64 pixels from black toward one colour, so shading a pixel is
// one table read.
#include "render/renderer.h"

#include <cstdint>

uint16_t PackRgb565(uint32_t color) {
    return static_cast<uint16_t>(((color >> 8) & 0xF800) | ((color >> 5) & 0x7E0) |
                                 ((color >> 3) & 0x1F));
}

// Entry k is k/64 of the colour, each channel truncated; the ramp never
// reaches the full colour.
void Renderer::BuildShadeRamp(uint32_t color) {
    const uint32_t red = (color >> 16) & 0xFF;
    const uint32_t green = (color >> 8) & 0xFF;
    const uint32_t blue = color & 0xFF;
    for (uint32_t k = 0; k < kShadeRampSize; ++k) {
        shadeRamp[k] = static_cast<uint16_t>((((k * red) >> 9) << 11) | (((k * green) >> 8) << 5) |
                                             ((k * blue) >> 9));
    }
}
