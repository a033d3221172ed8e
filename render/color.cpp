// Span fill's colours: the renderer's shade ramp, 64 pixels from black toward
// one colour, so shading a pixel is one table read (a colour's own pixel is
// PackRgb565, renderer.h).
#include "render/renderer.h"

#include <cstdint>

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
