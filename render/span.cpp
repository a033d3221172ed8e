// The span fill: for each row of a triangle, the run of pixels from the left
// edge entry to the right one (exclusive), clipped to the frame's columns.
// One loop over the rows serves all four fillers; what differs is the set of
// quantities carried across a span and the filler's own loop over its pixels
// (span.h).
#include "render/span.h"

#include "platform/display.h"
#include "render/stages.h"

#include <algorithm>
#include <cstdint>

// Each row is drawn from column floor(left x) to floor(right x) - 1. An
// interpolating filler steps each of its quantities by (right - left) / (x1 -
// x0), the column difference taken before clipping; a span starting left of
// the frame has its values advanced as if drawn from its left end.
template <class Fill>
void FillSpans(Renderer* renderer, int32_t startRow, int32_t endRow, uint32_t color) {
    const Display* display = renderer->display;
    if (display == nullptr || display->frameBuffer == nullptr) return;
    if (!Fill::Drawable(*renderer)) return;
    const Fill fill(*renderer, color);
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

        typename Fill::Span span;
        if constexpr (Fill::kSpanLanes != 0) {
            Fixed from[4];
            Fixed to[4];
            fill.SpanEnd(*left, from);
            fill.SpanEnd(*right, to);
            span.Start(from, to, x1 - x0);
            if (x0 < 0) span.Skip(-x0);
        }
        fill.Run(rowStart + first, count, span);
    }
}

template void FillSpans<FlatFill>(Renderer*, int32_t, int32_t, uint32_t);
template void FillSpans<ShadedFill>(Renderer*, int32_t, int32_t, uint32_t);
template void FillSpans<TexturedFill>(Renderer*, int32_t, int32_t, uint32_t);
template void FillSpans<TexturedShadedFill>(Renderer*, int32_t, int32_t, uint32_t);

void FillFlat(Renderer* renderer, int32_t startRow, int32_t endRow, uint32_t color) {
    FillSpans<FlatFill>(renderer, startRow, endRow, color);
}

void FillShaded(Renderer* renderer, int32_t startRow, int32_t endRow) {
    FillSpans<ShadedFill>(renderer, startRow, endRow, 0);
}

void FillTextured(Renderer* renderer, int32_t startRow, int32_t endRow, uint32_t color) {
    FillSpans<TexturedFill>(renderer, startRow, endRow, color);
}

void FillTexturedShaded(Renderer* renderer, int32_t startRow, int32_t endRow) {
    FillSpans<TexturedShadedFill>(renderer, startRow, endRow, 0);
}
