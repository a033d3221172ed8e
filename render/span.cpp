// The span fillers: for each row of a triangle, the run of pixels from the
// left edge entry to the right one (exclusive), clipped to the frame's
// columns. One loop serves all four; what differs is the set of quantities
// carried across the span and the rule that turns them into a pixel.
#include "platform/display.h"
#include "render/carry.h"
#include "render/renderer.h"
#include "resource/texture.h"

#include <algorithm>
#include <cstdint>

namespace {

// Rows startRow..endRow-1 of the edge tables, each drawn from column
// floor(left x) to floor(right x) - 1. An interpolating filler steps each of
// its quantities by (right - left) / (x1 - x0), the column difference taken
// before clipping; a span starting left of the frame has its values advanced
// as if drawn from its left end.
template <class Pixels>
void FillSpans(Renderer* renderer, int32_t startRow, int32_t endRow, const Pixels& pixels) {
    const Display* display = renderer->display;
    if (display == nullptr || display->frameBuffer == nullptr) return;
    uint16_t* const frame = display->frameBuffer;
    startRow = std::max(startRow, 0);
    endRow = std::min({endRow, display->frameHeight, kEdgeRows});
    for (int32_t row = startRow; row < endRow; ++row) {
        const int32_t width = display->frameWidth;
        const EdgeEntry& left = renderer->leftEdges[row];
        const EdgeEntry& right = renderer->rightEdges[row];
        int32_t x0 = left.x >> 16;
        int32_t x1 = right.x >> 16;
        // A span running right to left draws nothing and costs no division.
        if (x1 <= 0 || x0 >= width || x1 <= x0) continue;

        Carried<Pixels::kLanes> span;
        if constexpr (Pixels::kLanes != 0) {
            Fixed from[4];
            Fixed to[4];
            pixels.Lanes(left, from);
            pixels.Lanes(right, to);
            span.Start(from, to, x1 - x0);
        }
        if (x0 < 0) {
            span.Skip(-x0);
            x0 = 0;
        }
        x1 = std::min(x1, width);
        uint16_t* out = frame + row * width + x0;
        uint16_t* const end = frame + row * width + x1;
        for (; out < end; ++out) {
            *out = pixels.Pixel(span.value);
            span.Next();
        }
    }
}

// Intensity 0..255 (as a Fixed) picks one of the 64 ramp entries.
constexpr int kRampShift = 18;

struct FlatPixels {
    static constexpr unsigned kLanes = 0;
    uint16_t pixel;
    void Lanes(const EdgeEntry&, Fixed*) const {}
    uint16_t Pixel(const Fixed*) const { return pixel; }
};

struct ShadedPixels {
    static constexpr unsigned kLanes = kLaneIntensity;
    const uint16_t* ramp;
    void Lanes(const EdgeEntry& entry, Fixed* lanes) const { lanes[1] = entry.intensity; }
    // The mask only matters for intensities outside 0..255, which the edge
    // values never reach; it keeps the read inside the ramp regardless.
    uint16_t Pixel(const Fixed* lanes) const {
        return ramp[(lanes[1] >> kRampShift) & (kShadeRampSize - 1)];
    }
};

// Texture coordinates are carried in texel units (scaled by the width). The
// texel column and row are wrapped with the width mask: coordinates from 0 to
// just below 1.0 read exactly the texel they name, and no coordinate, however
// far outside, reads past the level block.
struct TexelAddress {
    unsigned shift;
    int32_t mask;
    void Lanes(const EdgeEntry& entry, Fixed* lanes) const {
        lanes[2] = ShiftLeft(entry.u, shift);
        lanes[3] = ShiftLeft(entry.v, shift);
    }
    int32_t Offset(const Fixed* lanes) const {
        return (((lanes[3] >> 16) & mask) << shift) + ((lanes[2] >> 16) & mask);
    }
};

struct TexturedPixels {
    static constexpr unsigned kLanes = kLaneU | kLaneV;
    TexelAddress address;
    const uint16_t* level; // the one shade level of the whole triangle
    void Lanes(const EdgeEntry& entry, Fixed* lanes) const { address.Lanes(entry, lanes); }
    uint16_t Pixel(const Fixed* lanes) const { return level[address.Offset(lanes)]; }
};

struct TexturedShadedPixels {
    static constexpr unsigned kLanes = kLaneIntensity | kLaneU | kLaneV;
    TexelAddress address;
    const uint16_t* texels;
    int32_t levelMask;
    unsigned levelShift;
    void Lanes(const EdgeEntry& entry, Fixed* lanes) const {
        lanes[1] = entry.intensity;
        address.Lanes(entry, lanes);
    }
    uint16_t Pixel(const Fixed* lanes) const {
        return texels[(((lanes[1] >> 16) & levelMask) << levelShift) + address.Offset(lanes)];
    }
};

// The mask follows from the shift, so a texture's own mask field cannot widen
// the wrap beyond its side.
TexelAddress AddressOf(const Texture* texture) {
    const unsigned shift = texture->widthShift;
    return TexelAddress{shift, static_cast<int32_t>((1u << shift) - 1)};
}

} // namespace

void FillFlat(Renderer* renderer, int32_t startRow, int32_t endRow, uint32_t color) {
    FillSpans(renderer, startRow, endRow, FlatPixels{PackRgb565(color)});
}

void FillShaded(Renderer* renderer, int32_t startRow, int32_t endRow) {
    FillSpans(renderer, startRow, endRow, ShadedPixels{renderer->shadeRamp});
}

void FillTextured(Renderer* renderer, int32_t startRow, int32_t endRow, uint32_t color) {
    const Texture* texture = renderer->texture;
    if (!TextureFitsTriangles(texture)) return;
    // One shade level for the whole triangle, chosen by the first vertex.
    const uint16_t* level =
        texture->texels + ((color & texture->levelMask) << texture->levelOffsetShift);
    FillSpans(renderer, startRow, endRow, TexturedPixels{AddressOf(texture), level});
}

void FillTexturedShaded(Renderer* renderer, int32_t startRow, int32_t endRow) {
    const Texture* texture = renderer->texture;
    if (!TextureFitsTriangles(texture)) return;
    FillSpans(renderer, startRow, endRow,
              TexturedShadedPixels{AddressOf(texture), texture->texels, texture->levelMask,
                                   texture->levelOffsetShift});
}
