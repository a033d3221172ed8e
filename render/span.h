// The span fill's four fillers, one policy each: the lanes it carries down
// the edges and across the spans (Carrying, carry.h), whether it can draw
// with the renderer as it stands (Drawable), what it takes from the renderer
// (its constructor, made only when Drawable, for the first vertex's colour
// given), what it takes from each triangle's first vertex's colour when made
// once for many triangles (Recolor, by default nothing), and its own
// loop over the pixels of a span (Run: the span's first pixel, their count
// >= 1, and the carried values at the first pixel with their steps). The
// edge walk (edge.h) and the span of a row (span.cpp) are the same for all
// four.
#pragma once
#include "platform/display.h"
#include "platform/pixel_run.h"
#include "render/carry.h"
#include "render/renderer.h"
#include "render/texel_run.h"
#include "resource/texture.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

// Rows startRow..endRow-1 of the edge tables with the filler Fill; color is
// the triangle's first vertex's. Made in span.cpp for the four fillers.
template <class Fill>
void FillSpans(Renderer* renderer, int32_t startRow, int32_t endRow, uint32_t color);

// A triangle as triangle set-up hands it to the span fill: its vertices
// sorted by y and the rows they hold, the first row drawn, how many rows
// lie beside each short edge (top to middle, then middle to bottom; a half
// wholly above or below the rows drawn has a negative count) and how many
// are drawn in all. The long edge runs from top to bottom.
struct TriangleRows {
    const ScreenVertex* top;
    const ScreenVertex* middle;
    const ScreenVertex* bottom;
    int32_t topRow, middleRow, bottomRow;
    int32_t startRow;
    int32_t rows[2];
    int32_t drawn;
};

// The rows of a triangle whose vertices are sorted by y, clipped to the rows
// 0..rowEnd-1; false, with nothing to draw, when none of its rows is among
// them.
[[gnu::always_inline]] inline bool FindTriangleRows(const ScreenVertex* top,
                                                    const ScreenVertex* middle,
                                                    const ScreenVertex* bottom, int32_t rowEnd,
                                                    TriangleRows* rows) {
    const int32_t topRow = top->y >> 16;
    const int32_t middleRow = middle->y >> 16;
    const int32_t bottomRow = bottom->y >> 16;
    const int32_t startRow = std::max(topRow, 0);
    const int32_t endRow = std::min(bottomRow, rowEnd);
    if (startRow >= endRow) return false;
    *rows = TriangleRows{
        top,
        middle,
        bottom,
        topRow,
        middleRow,
        bottomRow,
        startRow,
        {std::min(middleRow, endRow) - startRow, endRow - std::max(middleRow, startRow)},
        endRow - startRow};
    return true;
}

// The triangle's rows from the frame row starting at `row` (its start row)
// down, each from the left edge to the right one as the edge walks (edge.h)
// reach it; the long edge is the left one when kLongIsLeft. Made in span.cpp
// for the four fillers.
template <class Fill, bool kLongIsLeft>
void FillRows(const Fill& fill, uint16_t* row, int32_t width, const TriangleRows& triangle);
// The rule FillRows keeps, each row's span found and drawn by itself. Where
// the build has a vector path (kRowsHaveVectorPath), FillRows finds the
// textured filler's spans in vector registers instead; both draw the same
// pixels.
template <class Fill, bool kLongIsLeft>
void FillRowsPortable(const Fill& fill, uint16_t* row, int32_t width, const TriangleRows& triangle);
extern const bool kRowsHaveVectorPath;
// On x86-64 the vector path, and the flat filler's rows, are built twice: in
// SSE2's instructions, and in AVX's encoding of the same ones for processors
// that have it, which they take from start-up. UseRowsAvx(false) keeps to
// SSE2, UseRowsAvx(true) takes AVX again where there is one; it returns
// whether AVX is used. Both draw the same pixels.
bool UseRowsAvx(bool use);

// One colour, packed when a triangle brings a new one. A span of up to eight
// pixels is written in one pass over sixteen bytes (the pixels after it put
// back as they were) where those bytes are still in the frame: spans of the
// clock's marks and hands are short and of every length, and this costs no
// decision on the length.
struct FlatFill : Carrying<0> {
    static bool Drawable(const Renderer&) { return true; }
    FlatFill(const Renderer& renderer, uint32_t first)
        : run(PackRgb565(first)), color(first),
          frameEnd(renderer.display->frameBuffer +
                   renderer.display->frameWidth * renderer.display->frameHeight) {}
    void Recolor(uint32_t next) {
        if (next == color) return;
        color = next;
        run = PixelRun(PackRgb565(next));
    }
    void Run(uint16_t* out, int32_t count, const Span&) const {
        if (out + 8 <= frameEnd) {
            RunInside(out, count);
        } else {
            run.Fill(reinterpret_cast<uint8_t*>(out), count);
        }
    }
    // Rows known to lie within the frame's columns (FillRowsPortable) and,
    // with eight pixels after the last row's end, within its memory: their
    // spans are run by RunInside.
    static constexpr bool kRunsInside = true;
    bool RowsInside(const uint16_t* row, int32_t rows, int32_t width) const {
        return frameEnd - row >= ptrdiff_t{rows} * width + 8;
    }
    // Any count, none drawn when it is not positive, from a first pixel with
    // eight pixels of the frame after it.
    void RunInside(uint16_t* out, int32_t count) const {
        if (static_cast<uint32_t>(count) <= 8) {
            run.FillShort(reinterpret_cast<uint8_t*>(out), count);
        } else {
            run.Fill(reinterpret_cast<uint8_t*>(out), count);
        }
    }
    PixelRun run;
    uint32_t color;
    const uint16_t* frameEnd;
};

// Intensity 0..255 (as a Fixed) picks one of the 64 ramp entries. The mask
// only matters for intensities outside 0..255, which the edge values never
// reach; it keeps the read inside the ramp regardless.
struct ShadedFill : Carrying<kLaneIntensity> {
    static constexpr int kRampShift = 18;
    static bool Drawable(const Renderer&) { return true; }
    ShadedFill(const Renderer& renderer, uint32_t) : ramp(renderer.shadeRamp) {}
    void Run(uint16_t* out, int32_t count, const Span& span) const {
        Fixed intensity = span.value[1];
        const Fixed step = span.step[1];
        uint16_t* const end = out + count;
        for (ptrdiff_t i = -static_cast<ptrdiff_t>(count); i < 0; ++i, intensity += step)
            end[i] = ramp[(intensity >> kRampShift) & (kShadeRampSize - 1)];
    }
    const uint16_t* ramp;
};

// Texture coordinates are carried across spans in texel units (scaled by the
// width; the shift may move bits through the sign and, done on the unsigned
// pattern, wraps as the device's shift does). The texel column and row are
// wrapped with the width mask (texel_run.h): coordinates from 0 to just below
// 1.0 read exactly the texel they name, and no coordinate, however far
// outside, reads past the level block. The mask follows from the shift, so a
// texture's own mask field cannot widen the wrap beyond its side. Only a
// texture that fits triangles is drawn at all.
struct TexelAddress {
    // Spans of at least this many pixels take the vector path where there is
    // one: shorter ones cost less one pixel after the other.
    static constexpr int32_t kVectorSpan = 4;
    static bool Drawable(const Renderer& renderer) {
        return TextureFitsTriangles(renderer.texture);
    }
    explicit TexelAddress(const Renderer& renderer)
        : offset(renderer.texture->widthShift), vectorEnd(VectorEnd(renderer, offset)) {}
    void SpanUnits(Fixed* lanes) const {
        lanes[2] = static_cast<Fixed>(static_cast<uint32_t>(lanes[2]) << offset.shift);
        lanes[3] = static_cast<Fixed>(static_cast<uint32_t>(lanes[3]) << offset.shift);
    }
    // The texels of one shade level along a span.
    void Run(uint16_t* out, int32_t count, const uint16_t* level, Fixed u, Fixed du, Fixed v,
             Fixed dv) const {
        if (kTexelRunHasVectorPath && count >= kVectorSpan && out + count <= vectorEnd) {
            TexelRunVector(out, count, level, offset, u, du, v, dv);
        } else {
            TexelRunPortable(out, count, level, offset, u, du, v, dv);
        }
    }
    // Where the vector path's spans must end: four pixels before the frame's
    // end (it reads and writes back the four after a span); the frame's start
    // when it does not serve the level.
    static const uint16_t* VectorEnd(const Renderer& renderer, const TexelOffset& offset) {
        const Display& display = *renderer.display;
        const ptrdiff_t pixels = ptrdiff_t{display.frameWidth} * display.frameHeight;
        if (!TexelRunVectorFits(offset) || pixels < 4) return display.frameBuffer;
        return display.frameBuffer + pixels - 4;
    }
    TexelOffset offset;
    const uint16_t* vectorEnd;
};

// The texture's shade levels: level n's texels (n wrapped by the level mask).
struct ShadeLevels {
    explicit ShadeLevels(const Texture& texture)
        : texels(texture.texels), mask(texture.levelMask), shift(texture.levelOffsetShift) {}
    const uint16_t* operator[](uint32_t n) const { return texels + ((n & mask) << shift); }
    const uint16_t* texels;
    uint32_t mask;
    unsigned shift;
};

// One shade level for the whole triangle, chosen by the first vertex's colour.
struct TexturedFill : Carrying<kLaneU | kLaneV> {
    static bool Drawable(const Renderer& renderer) { return TexelAddress::Drawable(renderer); }
    TexturedFill(const Renderer& renderer, uint32_t color)
        : address(renderer), levels(*renderer.texture), level(levels[color]) {}
    void Recolor(uint32_t color) { level = levels[color]; }
    void SpanUnits(Fixed* lanes) const { address.SpanUnits(lanes); }
    void Run(uint16_t* out, int32_t count, const Span& span) const {
        address.Run(out, count, level, span.value[2], span.step[2], span.value[3], span.step[3]);
    }
    TexelAddress address;
    ShadeLevels levels;
    const uint16_t* level;
};

// The shade level chosen per pixel by the intensity. Where the intensity does
// not change along the span, neither does the level: the span is one
// level's.
struct TexturedShadedFill : Carrying<kLaneIntensity | kLaneU | kLaneV> {
    static bool Drawable(const Renderer& renderer) { return TexelAddress::Drawable(renderer); }
    TexturedShadedFill(const Renderer& renderer, uint32_t)
        : address(renderer), levels(*renderer.texture) {}
    void SpanUnits(Fixed* lanes) const { address.SpanUnits(lanes); }
    const uint16_t* Level(Fixed intensity) const {
        return levels[static_cast<uint32_t>(intensity) >> 16];
    }
    void Run(uint16_t* out, int32_t count, const Span& span) const {
        Fixed intensity = span.value[1];
        const Fixed step = span.step[1];
        Fixed u = span.value[2], v = span.value[3];
        const Fixed du = span.step[2], dv = span.step[3];
        if (step == 0) {
            address.Run(out, count, Level(intensity), u, du, v, dv);
            return;
        }
        uint16_t* const end = out + count;
        for (ptrdiff_t i = -static_cast<ptrdiff_t>(count); i < 0;
             ++i, intensity += step, u += du, v += dv) {
            end[i] = Level(intensity)[address.offset(u, v)];
        }
    }
    TexelAddress address;
    ShadeLevels levels;
};
