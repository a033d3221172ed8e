// Triangle set-up's edge walk: one edge of a triangle, from its upper vertex
// P down to its lower vertex Q, row by row, clipped to the rows of the frame.
// The row holding P is the edge's first, the row holding Q is not one of its
// rows. One walk serves every filler, carrying x and the filler's own lanes
// (carry.h): the span fill starts a triangle's edges (SpanEdgeAt) and steps
// them beside its rows (span.cpp); WalkEdgeFor writes one edge into an edge
// table.
#pragma once
#include "platform/display.h"
#include "render/carry.h"
#include "render/renderer.h"

#include <algorithm>
#include <cstdint>

// Rows a triangle may touch: those of the frame, and never more than the edge
// tables hold.
inline int32_t RowLimit(const Renderer* renderer) {
    return std::min(renderer->display->frameHeight, kEdgeRows);
}

// The edge from P to Q over its n = floor(Q.y) - floor(P.y) > 0 rows, at its
// row `skipped` (>= 0). The start values are those at P, not corrected for
// the fraction of P.y; skipping rows advances them as if walked from P.
// Always inline: a triangle's edges are made where their lanes are used.
template <class Fill>
[[gnu::always_inline]] inline typename Fill::Edge
EdgeAt(const ScreenVertex* p, const ScreenVertex* q, int32_t n, int32_t skipped) {
    Fixed from[4];
    Fixed to[4];
    VertexLanes(p, from);
    VertexLanes(q, to);
    typename Fill::Edge edge;
    edge.Start(from, to, n);
    if (skipped > 0) edge.Skip(skipped);
    return edge;
}

// The same edge in the filler's span units (carry.h).
template <class Fill>
[[gnu::always_inline]] inline typename Fill::Edge
SpanEdgeAt(const Fill& fill, const ScreenVertex* p, const ScreenVertex* q, int32_t n,
           int32_t skipped) {
    typename Fill::Edge edge = EdgeAt<Fill>(p, q, n, skipped);
    fill.SpanUnits(edge.value);
    fill.SpanUnits(edge.step);
    return edge;
}

// The edge's rows within the frame into `table` (P.y <= Q.y).
template <class Fill>
void WalkEdgeFor(const Renderer* renderer, const ScreenVertex* p, const ScreenVertex* q,
                 EdgeEntry* table) {
    const int32_t y0 = p->y >> 16;
    const int32_t y1 = q->y >> 16;
    // An edge running upward is outside the walker's contract; it writes
    // nothing rather than divide by a negative row count.
    if (y1 <= y0) return;
    const int32_t first = std::max(y0, 0);
    const int32_t end = std::min(y1, RowLimit(renderer));
    if (first >= end) return;
    typename Fill::Edge edge = EdgeAt<Fill>(p, q, y1 - y0, first - y0);
    for (EdgeEntry* entry = table + first; entry < table + end; ++entry) {
        edge.Store(entry);
        edge.Next();
    }
}
