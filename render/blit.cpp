// Image blits, beside the triangle stages: rectangles of texels from a
// texture's first shade level copied straight into the frame buffer, opaque,
// colour-keyed (texel 0 is transparent) or scaled by 16.16 steps.
//
// All three are clipped to the frame and to the texture: a pixel is written
// only when it lies in the frame and its source texel lies in the texture, so
// no rectangle, however placed, reads or writes outside either. Rectangles
// that fit draw exactly as an unclipped copy would. Source rows are reached by
// the texture's width (for the power-of-two widths of triangle textures that
// is the same as shifting by widthShift).
#include "platform/display.h"
#include "platform/frame_tiles.h"
#include "platform/pixel_run.h"
#include "render/renderer.h"
#include "resource/texture.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// The part [first, last) of 0..size-1 whose destination (dst + i) lies in
// 0..dstLimit-1 and whose source (src + i) lies in 0..srcLimit-1; computed in
// 64 bits so no placement overflows.
struct Range {
    int32_t first;
    int32_t last;
    bool Empty() const { return first >= last; }
};

Range Clip(int32_t size, int32_t dst, int32_t dstLimit, int32_t src, int32_t srcLimit) {
    const int64_t first = std::max({int64_t{0}, -int64_t{dst}, -int64_t{src}});
    const int64_t last =
        std::min({int64_t{size}, int64_t{dstLimit} - dst, int64_t{srcLimit} - src});
    if (first >= last) return Range{0, 0};
    return Range{static_cast<int32_t>(first), static_cast<int32_t>(last)};
}

bool HasTexels(const Texture* texture) {
    return texture != nullptr && texture->texelBlock != nullptr && texture->texels != nullptr;
}

bool HasFrame(const Display* display) {
    return display != nullptr && display->frameBuffer != nullptr;
}

// The copy shared by the two unscaled blits; the row rule (opaque or keyed) is
// the template argument.
template <class CopyRow>
void BlitRows(const Display* display, const Texture* texture, int32_t dstX, int32_t dstY,
              int32_t width, int32_t height, int32_t srcX, int32_t srcY, CopyRow copyRow) {
    if (!HasFrame(display) || !HasTexels(texture)) return;
    const Range rows = Clip(height, dstY, display->frameHeight, srcY, texture->height);
    const Range columns = Clip(width, dstX, display->frameWidth, srcX, texture->width);
    if (rows.Empty() || columns.Empty()) return;
    const ptrdiff_t frameStride = display->frameWidth;
    const ptrdiff_t textureStride = texture->width;
    uint16_t* out =
        display->frameBuffer + ((dstY + rows.first) * frameStride + (dstX + columns.first));
    const uint16_t* in =
        texture->texels + ((srcY + rows.first) * textureStride + (srcX + columns.first));
    const int32_t count = columns.last - columns.first;
    // Rows that follow one another in both the frame and the texture (a
    // whole-frame background) are one run.
    if (count == frameStride && count == textureStride) {
        copyRow(out, in, count * (rows.last - rows.first));
        return;
    }
    for (int32_t i = rows.first; i < rows.last; ++i) {
        copyRow(out, in, count);
        out += frameStride;
        in += textureStride;
    }
}

} // namespace

void Renderer::BlitOpaque(const Texture* source, int32_t dstX, int32_t dstY, int32_t width,
                          int32_t height, int32_t srcX, int32_t srcY) {
    BlitRows(display, source, dstX, dstY, width, height, srcX, srcY,
             [](uint16_t* out, const uint16_t* in, int32_t count) {
                 CopyRun(reinterpret_cast<uint8_t*>(out), reinterpret_cast<const uint8_t*>(in),
                         static_cast<size_t>(count) * sizeof(uint16_t));
             });
}

void Renderer::BlitOpaqueTiles(const Texture* source, const FrameTiles& tiles) {
    if (!HasFrame(display) || !HasTexels(source)) return;
    const int32_t frameWidth = display->frameWidth;
    const int32_t frameHeight = display->frameHeight;
    if (FrameTilesCoverAll(tiles, frameWidth, frameHeight)) {
        BlitOpaque(source, 0, 0, frameWidth, frameHeight, 0, 0);
        return;
    }
    // In bytes, as the runs are copied.
    auto* frame = reinterpret_cast<uint8_t*>(display->frameBuffer);
    const auto* texels = reinterpret_cast<const uint8_t*>(source->texels);
    const ptrdiff_t frameStride = kPixelBytes * ptrdiff_t{frameWidth};
    const ptrdiff_t textureStride = kPixelBytes * ptrdiff_t{source->width};
    FrameTilesRuns(tiles, std::min<int32_t>(frameWidth, source->width),
                   std::min<int32_t>(frameHeight, source->height),
                   [&](int32_t x, int32_t y, int32_t width, int32_t height) {
                       CopyRows(frame + y * frameStride + kPixelBytes * x, frameStride,
                                texels + y * textureStride + kPixelBytes * x, textureStride,
                                kPixelBytes * static_cast<size_t>(width), height);
                   });
}

void Renderer::BlitKeyed(const Texture* source, int32_t dstX, int32_t dstY, int32_t width,
                         int32_t height, int32_t srcX, int32_t srcY) {
    BlitRows(display, source, dstX, dstY, width, height, srcX, srcY,
             [](uint16_t* out, const uint16_t* in, int32_t count) {
                 for (int32_t j = 0; j < count; ++j) {
                     if (in[j] != 0) out[j] = in[j];
                 }
             });
}

// Destination column j shows source column floor(j * uStep / 65536) and row i
// source row floor(i * vStep / 65536), both counted from (srcX, srcY), with no
// half-texel offset; clipping does not shift the picture.
void Renderer::BlitScaledKeyed(const Texture* source, int32_t dstX, int32_t dstY, int32_t dstWidth,
                               int32_t dstHeight, int32_t srcX, int32_t srcY, int32_t srcWidth,
                               int32_t srcHeight) {
    if (!HasFrame(display) || !HasTexels(source)) return;
    if (dstWidth <= 0 || dstHeight <= 0) return;
    const int32_t frameWidth = display->frameWidth;
    const Range rows = Clip(dstHeight, dstY, display->frameHeight, 0, dstHeight);
    const Range columns = Clip(dstWidth, dstX, frameWidth, 0, dstWidth);
    if (rows.Empty() || columns.Empty()) return;

    const Fixed vStep = static_cast<Fixed>(static_cast<uint32_t>(srcHeight) << 16) / dstHeight;
    const Fixed uStep = static_cast<Fixed>(static_cast<uint32_t>(srcWidth) << 16) / dstWidth;
    const uint32_t textureWidth = source->width;
    const uint32_t textureHeight = source->height;
    // Clipped rows and columns are passed over with their steps still taken.
    Fixed v = rows.first * vStep;
    const Fixed uFirst = columns.first * uStep;
    for (int32_t i = rows.first; i < rows.last; ++i, v += vStep) {
        const int32_t sourceRow = srcY + (v >> 16);
        if (static_cast<uint32_t>(sourceRow) >= textureHeight) continue;
        const uint16_t* in = source->texels + ptrdiff_t{sourceRow} * textureWidth;
        uint16_t* out = display->frameBuffer + ptrdiff_t{dstY + i} * frameWidth;
        Fixed u = uFirst;
        for (int32_t j = columns.first; j < columns.last; ++j, u += uStep) {
            const int32_t sourceColumn = srcX + (u >> 16);
            if (static_cast<uint32_t>(sourceColumn) >= textureWidth) continue;
            const uint16_t texel = in[sourceColumn];
            if (texel != 0) out[dstX + j] = texel;
        }
    }
}
