// The span fill: for each row of a triangle, the run of pixels from the left
// edge entry to the right one (exclusive), clipped to the frame's columns.
// One loop over the rows serves all four fillers; what differs is the set of
// quantities carried across a span and the filler's own loop over its pixels
// (span.h).
#include "render/span.h"

#include "platform/display.h"
#include "render/edge.h"
#include "render/stages.h"

#include <algorithm>
#include <cstdint>

namespace {

// Each row is drawn from column floor(left x) to floor(right x) - 1. An
// interpolating filler steps each of its quantities by (right - left) / (x1 -
// x0), the column difference taken before clipping; a span starting left of
// the frame has its values advanced as if drawn from its left end. left and
// right are the ends' lanes in the filler's span units. Always inline: the
// lanes then stay in registers from the edges to the pixel loop.
template <class Fill>
[[gnu::always_inline]] inline void FillSpan(const Fill& fill, uint16_t* row, int32_t width,
                                            const Fixed* left, const Fixed* right) {
    const int32_t x0 = left[0] >> 16;
    const int32_t x1 = right[0] >> 16;
    // A span from 0 <= x0 < x1 <= width is drawn whole: two comparisons of
    // the columns as unsigned numbers tell (a negative column is a large
    // unsigned one). Any other is clipped to the frame, and costs no
    // division when nothing is left of it (outside it, or right to left).
    int32_t first = x0;
    int32_t count = x1 - x0;
    if (static_cast<uint32_t>(x0) >= static_cast<uint32_t>(x1) ||
        static_cast<uint32_t>(x1) > static_cast<uint32_t>(width)) {
        first = std::max(x0, 0);
        count = std::min(x1, width) - first;
        if (count <= 0) return;
    }
    typename Fill::Span span;
    if constexpr (Fill::kSpanLanes != 0) {
        span.Start(left, right, x1 - x0);
        if (x0 < 0) span.Skip(-x0);
    }
    fill.Run(row + first, count, span);
}

} // namespace

template <class Fill>
void FillSpans(Renderer* renderer, int32_t startRow, int32_t endRow, uint32_t color) {
    const Display* display = renderer->display;
    if (display == nullptr || display->frameBuffer == nullptr) return;
    if (!Fill::Drawable(*renderer)) return;
    const Fill fill(*renderer, color);
    const int32_t width = display->frameWidth;
    startRow = std::max(startRow, 0);
    endRow = std::min({endRow, display->frameHeight, kEdgeRows});
    uint16_t* row = display->frameBuffer + startRow * width;
    for (int32_t r = startRow; r < endRow; ++r, row += width) {
        Fixed left[4];
        Fixed right[4];
        EntryLanes(renderer->leftEdges[r], left);
        EntryLanes(renderer->rightEdges[r], right);
        fill.SpanUnits(left);
        fill.SpanUnits(right);
        FillSpan(fill, row, width, left, right);
    }
}

// `rows` rows beside one short edge; the long edge is left at the row after
// them.
template <class Fill, bool kLongIsLeft>
[[gnu::always_inline]] inline uint16_t* FillBeside(const Fill& fill, uint16_t* row, int32_t width,
                                                   typename Fill::Edge& longEdge,
                                                   typename Fill::Edge shortEdge, int32_t rows) {
    for (; rows > 0; --rows, row += width) {
        if constexpr (kLongIsLeft) {
            FillSpan(fill, row, width, longEdge.value, shortEdge.value);
        } else {
            FillSpan(fill, row, width, shortEdge.value, longEdge.value);
        }
        longEdge.Next();
        shortEdge.Next();
    }
    return row;
}

// The filler is copied in and each edge made here: the loop keeps them in
// registers, as no pixel written can change them. The long edge goes on from
// the upper short edge's rows to the lower one's.
template <class Fill, bool kLongIsLeft>
void FillRows(const Fill& fill, uint16_t* row, int32_t width, const TriangleRows& triangle) {
    const Fill local = fill;
    const TriangleRows t = triangle;
    typename Fill::Edge longEdge =
        SpanEdgeAt(local, t.top, t.bottom, t.bottomRow - t.topRow, t.startRow - t.topRow);
    if (t.rows[0] > 0) {
        row = FillBeside<Fill, kLongIsLeft>(
            local, row, width, longEdge,
            SpanEdgeAt(local, t.top, t.middle, t.middleRow - t.topRow, t.startRow - t.topRow),
            t.rows[0]);
    }
    if (t.rows[1] > 0) {
        const int32_t from = std::max(t.middleRow, t.startRow);
        FillBeside<Fill, kLongIsLeft>(
            local, row, width, longEdge,
            SpanEdgeAt(local, t.middle, t.bottom, t.bottomRow - t.middleRow, from - t.middleRow),
            t.rows[1]);
    }
}

template void FillSpans<FlatFill>(Renderer*, int32_t, int32_t, uint32_t);
template void FillSpans<ShadedFill>(Renderer*, int32_t, int32_t, uint32_t);
template void FillSpans<TexturedFill>(Renderer*, int32_t, int32_t, uint32_t);
template void FillSpans<TexturedShadedFill>(Renderer*, int32_t, int32_t, uint32_t);
#define KQ3D_FILL_ROWS(Fill)                                                                       \
    template void FillRows<Fill, false>(const Fill&, uint16_t*, int32_t, const TriangleRows&);     \
    template void FillRows<Fill, true>(const Fill&, uint16_t*, int32_t, const TriangleRows&);
KQ3D_FILL_ROWS(FlatFill)
KQ3D_FILL_ROWS(ShadedFill)
KQ3D_FILL_ROWS(TexturedFill)
KQ3D_FILL_ROWS(TexturedShadedFill)
#undef KQ3D_FILL_ROWS

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
