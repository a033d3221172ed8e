// Triangle set-up: sort the three vertices by y, find the rows to draw, and
// hand them to the span fill, which walks the long edge and the two short
// edges down the rows and draws each row from the left edge to the right one
// as the walks reach it. Rows run from floor(top.y) to floor(bottom.y) - 1.
// The filler's policy (span.h) says what the edges carry.
#include "render/edge.h"
#include "render/span.h"
#include "render/stages.h"

#include <algorithm>
#include <cstdint>

namespace {

// What every triangle drawn into the frame shares: the rows it may draw
// (those of the frame and of the view, never more than the edge tables hold;
// the view may have shrunk since the renderer was made) and where they lie.
struct FrameRows {
    uint16_t* buffer;
    int32_t width;
    int32_t rowEnd;
};

// Null when the renderer has no frame to draw into.
inline const Display* DrawnDisplay(const Renderer* renderer) {
    const Display* display = renderer->display;
    return display != nullptr && display->frameBuffer != nullptr ? display : nullptr;
}

inline FrameRows FrameRowsOf(const Renderer* renderer, const Display* display) {
    return FrameRows{display->frameBuffer, display->frameWidth,
                     std::min(renderer->viewHeight >> 16, RowLimit(renderer))};
}

// A, B, C in index order; the triangle has passed the back-face test, so it
// runs clockwise on the screen. The long edge (top to bottom) is the left
// boundary when the middle vertex follows the top one in the cycle A->B->C,
// the right boundary otherwise. The comparisons and their order decide ties.
//
// Each row of the triangle is drawn as it would be from edge tables into
// which the three edges had been walked: the long edge beside the upper
// short edge down to the middle vertex's row, beside the lower one from
// there, each edge at a row holding the values its walk writes there. The
// filler is made once for many triangles and takes each one's colour.
template <class Fill>
[[gnu::always_inline]] inline void DrawTriangleWith(Fill& fill, const FrameRows& frame,
                                                    const ScreenVertex* a, const ScreenVertex* b,
                                                    const ScreenVertex* c) {
    const ScreenVertex* top;
    const ScreenVertex* middle;
    const ScreenVertex* bottom;
    bool longIsLeft;
    if (a->y > b->y) {
        if (a->y > c->y) {
            if (b->y > c->y) {
                top = c, middle = b, bottom = a, longIsLeft = false;
            } else {
                top = b, middle = c, bottom = a, longIsLeft = true;
            }
        } else {
            top = b, middle = a, bottom = c, longIsLeft = false;
        }
    } else if (b->y > c->y) {
        if (a->y > c->y) {
            top = c, middle = a, bottom = b, longIsLeft = true;
        } else {
            top = a, middle = c, bottom = b, longIsLeft = false;
        }
    } else {
        top = a, middle = b, bottom = c, longIsLeft = true;
    }

    TriangleRows rows;
    if (!FindTriangleRows(top, middle, bottom, frame.rowEnd, &rows)) return;
    fill.Recolor(a->color);
    uint16_t* const row = frame.buffer + rows.startRow * frame.width;
    if (longIsLeft) {
        FillRows<Fill, true>(fill, row, frame.width, rows);
    } else {
        FillRows<Fill, false>(fill, row, frame.width, rows);
    }
}

// One filler's triangles, made (only when Drawable) for as many triangles as
// the renderer's mode and texture stay as they are; Draw draws one.
template <class Fill>
struct TrianglesOf {
    static bool Drawable(const Renderer& renderer) { return Fill::Drawable(renderer); }
    explicit TrianglesOf(const Renderer& renderer) : fill(renderer, 0) {}
    [[gnu::always_inline]] void Draw(const FrameRows& frame, const ScreenVertex* a,
                                     const ScreenVertex* b, const ScreenVertex* c) {
        DrawTriangleWith(fill, frame, a, b, c);
    }
    Fill fill;
};

// A triangle lit evenly (its three vertices of one intensity, as the faces of
// a mesh with flat normals are) has that intensity on every edge and span, so
// one shade level throughout: the level the textured filler takes from the
// first vertex's colour. It is drawn so, carrying no intensity.
inline bool EvenlyLit(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) {
    return ((a->color ^ b->color) & 0xFF) == 0 && ((a->color ^ c->color) & 0xFF) == 0;
}

// The textured, shaded triangles of a mesh: each drawn by one of two fillers.
struct TexturedShadedTriangles {
    static bool Drawable(const Renderer& renderer) { return TexelAddress::Drawable(renderer); }
    explicit TexturedShadedTriangles(const Renderer& renderer)
        : even(renderer, 0), shaded(renderer, 0) {}
    [[gnu::always_inline]] void Draw(const FrameRows& frame, const ScreenVertex* a,
                                     const ScreenVertex* b, const ScreenVertex* c) {
        if (EvenlyLit(a, b, c)) {
            DrawTriangleWith(even, frame, a, b, c);
        } else {
            DrawTriangleWith(shaded, frame, a, b, c);
        }
    }
    TexturedFill even;
    TexturedShadedFill shaded;
};

// One triangle, as fillTriangle draws it.
template <class Triangles>
[[gnu::always_inline]] inline void DrawOne(Renderer* renderer, const ScreenVertex* a,
                                           const ScreenVertex* b, const ScreenVertex* c) {
    const Display* display = DrawnDisplay(renderer);
    if (display == nullptr || !Triangles::Drawable(*renderer)) return;
    Triangles(*renderer).Draw(FrameRowsOf(renderer, display), a, b, c);
}

// A mesh's front faces with one filler: what is the same for all of them (the
// frame, whether the filler can draw, the filler itself) is found once, and
// each triangle is drawn in this loop rather than through fillTriangle.
template <class Triangles>
[[gnu::always_inline]] inline void DrawMany(Renderer* renderer, const ScreenVertex* vertices,
                                            const uint16_t* indices, const uint16_t* end) {
    const Display* display = DrawnDisplay(renderer);
    if (display == nullptr || !Triangles::Drawable(*renderer)) return;
    const FrameRows frame = FrameRowsOf(renderer, display);
    Triangles triangles(*renderer);
    for (; indices < end; indices += 3) {
        const ScreenVertex* a = &vertices[indices[0]];
        const ScreenVertex* b = &vertices[indices[1]];
        const ScreenVertex* c = &vertices[indices[2]];
        if (IsDrawnFace(*a, *b, *c)) triangles.Draw(frame, a, b, c);
    }
}

} // namespace

void DrawTriangleFlat(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                      const ScreenVertex* c) {
    DrawOne<TrianglesOf<FlatFill>>(renderer, a, b, c);
}

void DrawTriangleShaded(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                        const ScreenVertex* c) {
    DrawOne<TrianglesOf<ShadedFill>>(renderer, a, b, c);
}

void DrawTriangleTextured(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                          const ScreenVertex* c) {
    DrawOne<TrianglesOf<TexturedFill>>(renderer, a, b, c);
}

void DrawTriangleTexturedShaded(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                                const ScreenVertex* c) {
    if (EvenlyLit(a, b, c)) {
        DrawOne<TrianglesOf<TexturedFill>>(renderer, a, b, c);
    } else {
        DrawOne<TrianglesOf<TexturedShadedFill>>(renderer, a, b, c);
    }
}

const TriangleRoutine triangleFillers[4] = {DrawTriangleFlat, DrawTriangleShaded,
                                            DrawTriangleTextured, DrawTriangleTexturedShaded};

void DrawTrianglesFlat(Renderer* renderer, const ScreenVertex* vertices, const uint16_t* indices,
                       const uint16_t* end) {
    DrawMany<TrianglesOf<FlatFill>>(renderer, vertices, indices, end);
}

void DrawTrianglesShaded(Renderer* renderer, const ScreenVertex* vertices, const uint16_t* indices,
                         const uint16_t* end) {
    DrawMany<TrianglesOf<ShadedFill>>(renderer, vertices, indices, end);
}

void DrawTrianglesTextured(Renderer* renderer, const ScreenVertex* vertices,
                           const uint16_t* indices, const uint16_t* end) {
    DrawMany<TrianglesOf<TexturedFill>>(renderer, vertices, indices, end);
}

void DrawTrianglesTexturedShaded(Renderer* renderer, const ScreenVertex* vertices,
                                 const uint16_t* indices, const uint16_t* end) {
    DrawMany<TexturedShadedTriangles>(renderer, vertices, indices, end);
}

const TriangleLoop triangleLoops[4] = {DrawTrianglesFlat, DrawTrianglesShaded,
                                       DrawTrianglesTextured, DrawTrianglesTexturedShaded};
