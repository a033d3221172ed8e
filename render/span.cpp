// The span fill: for each row of a triangle, the run of pixels from the left
// edge to the right one (exclusive), clipped to the frame's columns. One span
// of a row (FillSpan) serves all four fillers, whether the rows come from the
// edge walks beside it (FillRowsPortable) or from edge tables (FillSpans);
// what differs is the set of quantities carried across a span and the
// filler's own loop over its pixels (span.h). Where the build has SSE2, the
// textured filler's rows are found in vector registers (FillRows), drawing
// the same pixels.
#include "render/span.h"

#include "platform/display.h"
#include "platform/processor.h"
#include "render/edge.h"
#include "render/stages.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// x86-64 compilers that build a routine for AVX alongside the rest, and tell
// at run time whether the processor has it.
#if defined(__SSE2__) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KQ3D_ROWS_AVX 1
#else
#define KQ3D_ROWS_AVX 0
#endif

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

// The column of an edge's x known not to be negative (rows within the
// frame's columns): shifted as an unsigned number it is the same column,
// already as wide as the pointer it moves (no sign extension a row).
[[gnu::always_inline]] inline uint32_t ColumnInside(Fixed x) {
    return static_cast<uint32_t>(x) >> 16;
}

// A span of a row whose columns are known to lie within 0..width, for a
// filler that carries no lanes: nothing to clip, start or skip.
template <class Fill>
[[gnu::always_inline]] inline void FillSpanInside(const Fill& fill, uint16_t* row,
                                                  const Fixed* left, const Fixed* right) {
    const uint32_t x0 = ColumnInside(left[0]);
    fill.RunInside(row + x0, static_cast<int32_t>(ColumnInside(right[0]) - x0));
}

// Whether every row of the triangle has its columns within 0..width. An
// edge's x at each of its rows lies between its two vertices' (it moves from
// one toward the other by steps truncated toward zero), so the vertices
// bound every row.
[[gnu::always_inline]] inline bool ColumnsInside(const TriangleRows& triangle, int32_t width) {
    const auto [leftmost, rightmost] =
        std::minmax({triangle.top->x, triangle.middle->x, triangle.bottom->x});
    return leftmost >= 0 && rightmost < (int64_t{width} + 1) << 16;
}

// `rows` rows beside one short edge, a span at a time, clipped to the frame
// or (kInside) known to lie within it; the long edge is left at the row
// after them.
template <class Fill, bool kLongIsLeft, bool kInside = false>
struct SpansBeside {
    [[gnu::always_inline]] uint16_t* operator()(const Fill& fill, uint16_t* row, int32_t width,
                                                typename Fill::Edge& longEdge,
                                                typename Fill::Edge shortEdge, int32_t rows) const {
        for (; rows > 0; --rows, row += width) {
            const Fixed* left = kLongIsLeft ? longEdge.value : shortEdge.value;
            const Fixed* right = kLongIsLeft ? shortEdge.value : longEdge.value;
            if constexpr (kInside) {
                FillSpanInside(fill, row, left, right);
            } else {
                FillSpan(fill, row, width, left, right);
            }
            longEdge.Next();
            shortEdge.Next();
        }
        return row;
    }
};

// A triangle's rows: the long edge beside the upper short edge, then beside
// the lower one. The filler is copied in and each edge made here: the loops
// keep them in registers, as no pixel written can change them. `beside`
// draws the rows beside one short edge and leaves the long edge at the row
// after them, so it goes on to the lower short edge's rows.
template <class Fill, class Beside>
[[gnu::always_inline]] inline void FillHalves(const Fill& fill, uint16_t* row, int32_t width,
                                              const TriangleRows& triangle, Beside beside) {
    const Fill local = fill;
    const TriangleRows t = triangle;
    typename Fill::Edge longEdge =
        SpanEdgeAt(local, t.top, t.bottom, t.bottomRow - t.topRow, t.startRow - t.topRow);
    if (t.rows[0] > 0) {
        row = beside(
            local, row, width, longEdge,
            SpanEdgeAt(local, t.top, t.middle, t.middleRow - t.topRow, t.startRow - t.topRow),
            t.rows[0]);
    }
    if (t.rows[1] > 0) {
        const int32_t from = std::max(t.middleRow, t.startRow);
        beside(local, row, width, longEdge,
               SpanEdgeAt(local, t.middle, t.bottom, t.bottomRow - t.middleRow, from - t.middleRow),
               t.rows[1]);
    }
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

namespace {

// A filler with a span for rows inside the frame (FlatFill::RunInside) takes
// it where the triangle's columns and rows allow: the rows then cost no
// clipping.
template <class Fill, bool kLongIsLeft>
[[gnu::always_inline]] inline void FillRowsEach(const Fill& fill, uint16_t* row, int32_t width,
                                                const TriangleRows& triangle) {
    if constexpr (Fill::kRunsInside) {
        if (ColumnsInside(triangle, width) && fill.RowsInside(row, triangle.drawn, width)) {
            FillHalves(fill, row, width, triangle, SpansBeside<Fill, kLongIsLeft, true>());
            return;
        }
    }
    FillHalves(fill, row, width, triangle, SpansBeside<Fill, kLongIsLeft>());
}

} // namespace

template <class Fill, bool kLongIsLeft>
void FillRowsPortable(const Fill& fill, uint16_t* row, int32_t width,
                      const TriangleRows& triangle) {
    FillRowsEach<Fill, kLongIsLeft>(fill, row, width, triangle);
}

#if defined(__SSE2__)
namespace {

// Whether every row of the triangle has its columns within 0..width and the
// whole of its last row lies at or before the filler's vectorEnd (so the four
// pixels after any span lie in the frame); `row` is the first row drawn.
[[gnu::always_inline]] inline bool RowsInside(const TexturedFill& fill, const uint16_t* row,
                                              int32_t width, const TriangleRows& triangle) {
    return ColumnsInside(triangle, width) &&
           row + ptrdiff_t{triangle.drawn} * width <= fill.address.vectorEnd;
}

// Rows beside one short edge of a triangle that RowsInside has passed. u and v of the left
// edge, and the differences of the right edge's from them, travel in vector
// registers, each pair stepped by one addition a row; each row's steps of u
// and v are their quotients by the row's column count, both in one double
// division (below), and the texel run's first pair and step follow in a few
// register operations. The division for the next row is started before a
// row is drawn, so it is done by the time that row has been. No row needs a
// test of its own: one with no columns writes nothing.
//
// (a / n) truncated toward zero, for whole numbers a and n >= 1 below 2^31 in
// magnitude: their double quotient is the exact one rounded once, by at most
// |a / n| / 2^53 < 1 / n; a quotient that is not a whole number lies at least
// 1 / n from one, so the rounding never reaches it, and the truncated double
// is the truncated quotient. (For a row with no columns the division's
// result is not used.)
template <bool kWholeLanes>
[[gnu::always_inline]] inline uint16_t*
FillTexturedInside(const TexturedFill& fill, uint16_t* row, int32_t width,
                   const TexturedFill::Edge& left, const TexturedFill::Edge& right, int32_t rows) {
    Fixed lx = left.value[0];
    Fixed rx = right.value[0];
    const Fixed dlx = left.step[0];
    const Fixed drx = right.step[0];
    const auto pair = [](Fixed a, Fixed b) {
        return _mm_unpacklo_epi32(_mm_cvtsi32_si128(a), _mm_cvtsi32_si128(b));
    };
    __m128i uv = pair(left.value[2], left.value[3]);
    const __m128i duv = pair(left.step[2], left.step[3]);
    __m128i nuv = pair(right.value[2] - left.value[2], right.value[3] - left.value[3]);
    const __m128i dnuv = pair(right.step[2] - left.step[2], right.step[3] - left.step[3]);
    const auto quotients = [](__m128i a, int32_t n) {
        return _mm_cvttpd_epi32(
            _mm_div_pd(_mm_cvtepi32_pd(a), _mm_set1_pd(static_cast<double>(n))));
    };
    const TexelRunWords words(fill.address.offset);
    const uint16_t* const level = fill.level;
    uint32_t x0 = ColumnInside(lx);
    uint32_t x1 = ColumnInside(rx);
    __m128i steps = quotients(nuv, static_cast<int32_t>(x1 - x0));
    for (; rows > 0; --rows, row += width) {
        // The next row's columns and the division of its steps.
        lx += dlx;
        rx += drx;
        nuv = _mm_add_epi32(nuv, dnuv);
        const uint32_t nextX0 = ColumnInside(lx);
        const uint32_t nextX1 = ColumnInside(rx);
        const __m128i nextSteps = quotients(nuv, static_cast<int32_t>(nextX1 - nextX0));
        // [u, v, u + du, v + dv] and [2 du, 2 dv] twice.
        const __m128i twice = _mm_add_epi32(steps, steps);
        TexelRunPairs<kWholeLanes>(row + x0, row + x1, level, words,
                                   _mm_unpacklo_epi64(uv, _mm_add_epi32(uv, steps)),
                                   _mm_unpacklo_epi64(twice, twice));
        x0 = nextX0;
        x1 = nextX1;
        steps = nextSteps;
        uv = _mm_add_epi32(uv, duv);
    }
    return row;
}

// The textured rows beside one short edge; the long edge is left at the row
// after them.
template <bool kLongIsLeft, bool kWholeLanes>
struct TexturedRowsBeside {
    [[gnu::always_inline]] uint16_t* operator()(const TexturedFill& fill, uint16_t* row,
                                                int32_t width, TexturedFill::Edge& longEdge,
                                                const TexturedFill::Edge& shortEdge,
                                                int32_t rows) const {
        row = kLongIsLeft
                  ? FillTexturedInside<kWholeLanes>(fill, row, width, longEdge, shortEdge, rows)
                  : FillTexturedInside<kWholeLanes>(fill, row, width, shortEdge, longEdge, rows);
        longEdge.Skip(rows);
        return row;
    }
};

template <bool kLongIsLeft>
void FillTexturedRows(const TexturedFill& fill, uint16_t* row, int32_t width,
                      const TriangleRows& triangle) {
    FillHalves(fill, row, width, triangle, TexturedRowsBeside<kLongIsLeft, false>());
}

#if KQ3D_ROWS_AVX
// The same rows in AVX's encoding of the same instructions: its three
// operands spare the register copies SSE2's two-operand forms need around
// each shift and addition (a tenth of the rows' instructions).
template <bool kLongIsLeft>
[[gnu::target("avx")]] void FillTexturedRowsAvx(const TexturedFill& fill, uint16_t* row,
                                                int32_t width, const TriangleRows& triangle) {
    FillHalves(fill, row, width, triangle, TexturedRowsBeside<kLongIsLeft, true>());
}

// The flat rows in AVX's encoding likewise: a short span's blend then reads
// its sixteen bytes into the instruction that uses them, with no copy.
template <bool kLongIsLeft>
[[gnu::target("avx")]] void FillFlatRowsAvx(const FlatFill& fill, uint16_t* row, int32_t width,
                                            const TriangleRows& triangle) {
    FillRowsEach<FlatFill, kLongIsLeft>(fill, row, width, triangle);
}

// Whether the rows take the AVX routine: false, and so SSE2, until this
// file's start-up has set it.
bool gRowsAvx = ProcessorHas(ProcessorFeature::kAvx);
#endif

} // namespace

const bool kRowsHaveVectorPath = true;
#else
const bool kRowsHaveVectorPath = false;
#endif

bool UseRowsAvx(bool use) {
#if KQ3D_ROWS_AVX
    gRowsAvx = use && ProcessorHas(ProcessorFeature::kAvx);
    return gRowsAvx;
#else
    (void)use;
    return false;
#endif
}

// The flat filler's rows take their AVX build where the processor has AVX;
// the textured filler's rows take the vector path where the build has one
// and it serves the texture's level.
template <class Fill, bool kLongIsLeft>
void FillRows(const Fill& fill, uint16_t* row, int32_t width, const TriangleRows& triangle) {
#if KQ3D_ROWS_AVX
    if constexpr (std::is_same_v<Fill, FlatFill>) {
        if (gRowsAvx) {
            FillFlatRowsAvx<kLongIsLeft>(fill, row, width, triangle);
            return;
        }
    }
#endif
#if defined(__SSE2__)
    if constexpr (std::is_same_v<Fill, TexturedFill>) {
        if (TexelRunVectorFits(fill.address.offset) && RowsInside(fill, row, width, triangle)) {
#if KQ3D_ROWS_AVX
            if (gRowsAvx) {
                FillTexturedRowsAvx<kLongIsLeft>(fill, row, width, triangle);
                return;
            }
#endif
            FillTexturedRows<kLongIsLeft>(fill, row, width, triangle);
            return;
        }
    }
#endif
    FillRowsPortable<Fill, kLongIsLeft>(fill, row, width, triangle);
}

template void FillSpans<FlatFill>(Renderer*, int32_t, int32_t, uint32_t);
template void FillSpans<ShadedFill>(Renderer*, int32_t, int32_t, uint32_t);
template void FillSpans<TexturedFill>(Renderer*, int32_t, int32_t, uint32_t);
template void FillSpans<TexturedShadedFill>(Renderer*, int32_t, int32_t, uint32_t);
#define KQ3D_FILL_ROWS(Fill)                                                                       \
    template void FillRows<Fill, false>(const Fill&, uint16_t*, int32_t, const TriangleRows&);     \
    template void FillRows<Fill, true>(const Fill&, uint16_t*, int32_t, const TriangleRows&);      \
    template void FillRowsPortable<Fill, false>(const Fill&, uint16_t*, int32_t,                   \
                                                const TriangleRows&);                              \
    template void FillRowsPortable<Fill, true>(const Fill&, uint16_t*, int32_t,                    \
                                               const TriangleRows&);
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
