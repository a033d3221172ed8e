// Triangle set-up's edge walk: one edge of a triangle, from its upper vertex
// P down to its lower vertex Q, written row by row into an edge table,
// clipped to the rows of the frame. The row holding P is written, the row
// holding Q is not. One walk serves every filler, carrying x and the
// filler's own lanes (carry.h).
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

// P.y <= Q.y. The start values are those at P, not corrected for the fraction
// of P.y; clipping at the top advances them as if walked from P.
template <class Fill>
void WalkEdgeFor(const Renderer* renderer, const ScreenVertex* p, const ScreenVertex* q,
                 EdgeEntry* table) {
    int32_t y0 = p->y >> 16;
    const int32_t y1 = q->y >> 16;
    const int32_t rows = RowLimit(renderer);
    // An edge running upward is outside the walker's contract; it writes
    // nothing rather than divide by a negative row count.
    if (y0 >= rows || y1 < 0 || y1 <= y0) return;
    int32_t n = y1 - y0;

    Fixed from[4];
    Fixed to[4];
    VertexLanes(p, from);
    VertexLanes(q, to);
    typename Fill::Edge edge;
    edge.Start(from, to, n);

    if (y1 > rows) {
        n = rows - y0;
        if (n <= 0) return;
    }
    if (y0 < 0) {
        n += y0;
        if (n <= 0) return;
        edge.Skip(-y0);
        y0 = 0;
    }
    EdgeEntry* entry = table + y0;
    for (; n > 0; --n, ++entry) {
        edge.Store(entry);
        edge.Next();
    }
}
