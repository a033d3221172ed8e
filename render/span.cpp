// The span fillers: for each row of a triangle, the run of pixels from the
// left edge entry to the right one (exclusive), clipped to the frame's
// columns. One loop over the rows serves all four; what differs is the set of
// quantities carried across a span and the filler's own loop over its pixels.
#include "platform/display.h"
#include "platform/pixel_run.h"
#include "render/carry.h"
#include "render/stages.h"
#include "resource/texture.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// Rows startRow..endRow-1 of the edge tables, each drawn from column
// floor(left x) to floor(right x) - 1. An interpolating filler steps each of
// its quantities by (right - left) / (x1 - x0), the column difference taken
// before clipping; a span starting left of the frame has its values advanced
// as if drawn from its left end. The pixels of a span are the filler's own
// loop (Run), given the span's first pixel, their count and the carried
// values at the first pixel with their steps.
template <class Pixels>
void FillSpans(Renderer* renderer, int32_t startRow, int32_t endRow, const Pixels& pixels) {
    const Display* display = renderer->display;
    if (display == nullptr || display->frameBuffer == nullptr) return;
    const int32_t width = display->frameWidth;
    startRow = std::max(startRow, 0);
    endRow = std::min({endRow, display->frameHeight, kEdgeRows});
    uint16_t* rowStart = display->frameBuffer + startRow * width;
    const EdgeEntry* left = renderer->leftEdges + startRow;
    const EdgeEntry* right = renderer->rightEdges + startRow;
    for (int32_t row = startRow; row < endRow; ++row, ++left, ++right, rowStart += width) {
        const int32_t x0 = left->x >> 16;
        const int32_t x1 = right->x >> 16;
        // Clipped to the frame; nothing is left of a span that lies outside
        // it or runs right to left, and such a span costs no division.
        const int32_t first = std::max(x0, 0);
        const int32_t count = std::min(x1, width) - first;
        if (count <= 0) continue;

        Carried<Pixels::kLanes> span;
        if constexpr (Pixels::kLanes != 0) {
            Fixed from[4];
            Fixed to[4];
            pixels.Lanes(*left, from);
            pixels.Lanes(*right, to);
            span.Start(from, to, x1 - x0);
            if (x0 < 0) span.Skip(-x0);
        }
        pixels.Run(rowStart + first, count, span);
    }
}

// Intensity 0..255 (as a Fixed) picks one of the 64 ramp entries.
constexpr int kRampShift = 18;

// count >= 1 in every Run.
//
// A flat span of up to eight pixels is written in one pass over sixteen bytes
// (the pixels after it put back as they were) where those bytes are still in
// the frame: spans of the clock's marks and hands are short and of every
// length, and this costs no decision on the length.
struct FlatPixels {
    static constexpr unsigned kLanes = 0;
    PixelRun run;
    const uint16_t* frameEnd;
    void Lanes(const EdgeEntry&, Fixed*) const {}
    void Run(uint16_t* out, int32_t count, const Carried<kLanes>&) const {
        if (count <= 8 && out + 8 <= frameEnd) {
            run.FillShort(reinterpret_cast<uint8_t*>(out), count);
        } else {
            run.Fill(reinterpret_cast<uint8_t*>(out), count);
        }
    }
};

struct ShadedPixels {
    static constexpr unsigned kLanes = kLaneIntensity;
    const uint16_t* ramp;
    void Lanes(const EdgeEntry& entry, Fixed* lanes) const { lanes[1] = entry.intensity; }
    // The mask only matters for intensities outside 0..255, which the edge
    // values never reach; it keeps the read inside the ramp regardless.
    void Run(uint16_t* out, int32_t count, const Carried<kLanes>& span) const {
        Fixed intensity = span.value[1];
        const Fixed step = span.step[1];
        uint16_t* const end = out + count;
        for (ptrdiff_t i = -static_cast<ptrdiff_t>(count); i < 0; ++i, intensity += step)
            end[i] = ramp[(intensity >> kRampShift) & (kShadeRampSize - 1)];
    }
};

// Texture coordinates are carried in texel units (scaled by the width). The
// texel column and row are wrapped with the width mask: coordinates from 0 to
// just below 1.0 read exactly the texel they name, and no coordinate, however
// far outside, reads past the level block. The row's offset, ((v >> 16) &
// mask) << shift, is taken in one shift and one mask (the bits it keeps lie
// below bit 31, so the shift's kind does not matter).
struct TexelAddress {
    unsigned shift;
    uint32_t mask;
    void Lanes(const EdgeEntry& entry, Fixed* lanes) const {
        lanes[2] = ShiftLeft(entry.u, shift);
        lanes[3] = ShiftLeft(entry.v, shift);
    }
    size_t Column(Fixed u) const { return (static_cast<uint32_t>(u) >> 16) & mask; }
    size_t Row(Fixed v) const {
        return (static_cast<uint32_t>(v) >> (16 - shift)) & (mask << shift);
    }
    // The texels of one shade level along a span.
    void Run(uint16_t* out, int32_t count, const uint16_t* level, Fixed u, Fixed du, Fixed v,
             Fixed dv) const;
};

void TexelAddress::Run(uint16_t* out, int32_t count, const uint16_t* level, Fixed u, Fixed du,
                       Fixed v, Fixed dv) const {
    uint16_t* const end = out + count;
    for (ptrdiff_t i = -static_cast<ptrdiff_t>(count); i < 0; ++i, u += du, v += dv)
        end[i] = level[Row(v) + Column(u)];
}

struct TexturedPixels {
    static constexpr unsigned kLanes = kLaneU | kLaneV;
    TexelAddress address;
    const uint16_t* level; // the one shade level of the whole triangle
    void Lanes(const EdgeEntry& entry, Fixed* lanes) const { address.Lanes(entry, lanes); }
    void Run(uint16_t* out, int32_t count, const Carried<kLanes>& span) const {
        address.Run(out, count, level, span.value[2], span.step[2], span.value[3], span.step[3]);
    }
};

struct TexturedShadedPixels {
    static constexpr unsigned kLanes = kLaneIntensity | kLaneU | kLaneV;
    TexelAddress address;
    const uint16_t* texels;
    uint32_t levelMask;
    unsigned levelShift;
    void Lanes(const EdgeEntry& entry, Fixed* lanes) const {
        lanes[1] = entry.intensity;
        address.Lanes(entry, lanes);
    }
    size_t Level(Fixed intensity) const {
        return ((static_cast<uint32_t>(intensity) >> 16) & levelMask) << levelShift;
    }
    // Where the intensity does not change along the span, neither does the
    // level: the span is one level's.
    void Run(uint16_t* out, int32_t count, const Carried<kLanes>& span) const {
        Fixed intensity = span.value[1];
        const Fixed step = span.step[1];
        Fixed u = span.value[2], v = span.value[3];
        const Fixed du = span.step[2], dv = span.step[3];
        if (step == 0) {
            address.Run(out, count, texels + Level(intensity), u, du, v, dv);
            return;
        }
        uint16_t* const end = out + count;
        for (ptrdiff_t i = -static_cast<ptrdiff_t>(count); i < 0;
             ++i, intensity += step, u += du, v += dv) {
            end[i] = texels[Level(intensity) + address.Row(v) + address.Column(u)];
        }
    }
};

// The mask follows from the shift, so a texture's own mask field cannot widen
// the wrap beyond its side.
TexelAddress AddressOf(const Texture* texture) {
    const unsigned shift = texture->widthShift;
    return TexelAddress{shift, (1u << shift) - 1};
}

} // namespace

void FillFlat(Renderer* renderer, int32_t startRow, int32_t endRow, uint32_t color) {
    const Display* display = renderer->display;
    if (display == nullptr || display->frameBuffer == nullptr) return;
    FillSpans(renderer, startRow, endRow,
              FlatPixels{PixelRun(PackRgb565(color)),
                         display->frameBuffer + display->frameWidth * display->frameHeight});
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
