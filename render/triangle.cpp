// Triangle set-up: sort the three vertices by y, walk the long edge into one
// edge table and the two short edges into the other, then hand the covered
// rows to the span fill. Rows run from floor(top.y) to floor(bottom.y) - 1.
// The filler's policy (span.h) says what the edges carry.
#include "render/edge.h"
#include "render/span.h"
#include "render/stages.h"

#include <algorithm>
#include <cstdint>

namespace {

// A, B, C in index order; the triangle has passed the back-face test, so it
// runs clockwise on the screen. The long edge (top to bottom) is the left
// boundary when the middle vertex follows the top one in the cycle A->B->C,
// the right boundary otherwise. The comparisons and their order decide ties.
template <class Fill>
void DrawTriangleWith(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                      const ScreenVertex* c) {
    EdgeEntry* const left = renderer->leftEdges;
    EdgeEntry* const right = renderer->rightEdges;
    const ScreenVertex* top;
    const ScreenVertex* middle;
    const ScreenVertex* bottom;
    EdgeEntry* longSide;
    EdgeEntry* shortSide;
    if (a->y > b->y) {
        if (a->y > c->y) {
            if (b->y > c->y) {
                top = c, middle = b, bottom = a, longSide = right, shortSide = left;
            } else {
                top = b, middle = c, bottom = a, longSide = left, shortSide = right;
            }
        } else {
            top = b, middle = a, bottom = c, longSide = right, shortSide = left;
        }
    } else if (b->y > c->y) {
        if (a->y > c->y) {
            top = c, middle = a, bottom = b, longSide = left, shortSide = right;
        } else {
            top = a, middle = c, bottom = b, longSide = right, shortSide = left;
        }
    } else {
        top = a, middle = b, bottom = c, longSide = left, shortSide = right;
    }

    WalkEdgeFor<Fill>(renderer, top, bottom, longSide);
    WalkEdgeFor<Fill>(renderer, top, middle, shortSide);
    WalkEdgeFor<Fill>(renderer, middle, bottom, shortSide);

    const int32_t startRow = std::max(top->y, 0) >> 16;
    int32_t endRow = std::min(bottom->y, renderer->viewHeight) >> 16;
    // The walkers stopped at the current frame's rows; so does the filler,
    // even should the frame have shrunk since the renderer was made.
    endRow = std::min(endRow, RowLimit(renderer));
    FillSpans<Fill>(renderer, startRow, endRow, a->color);
}

} // namespace

void DrawTriangleFlat(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                      const ScreenVertex* c) {
    DrawTriangleWith<FlatFill>(renderer, a, b, c);
}

void DrawTriangleShaded(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                        const ScreenVertex* c) {
    DrawTriangleWith<ShadedFill>(renderer, a, b, c);
}

void DrawTriangleTextured(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                          const ScreenVertex* c) {
    DrawTriangleWith<TexturedFill>(renderer, a, b, c);
}

// A triangle lit evenly (its three vertices of one intensity, as the faces of
// a mesh with flat normals are) has that intensity on every edge and span, so
// one shade level throughout: the level the textured filler takes from the
// first vertex's colour. It is drawn so, carrying no intensity.
void DrawTriangleTexturedShaded(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                                const ScreenVertex* c) {
    if (((a->color ^ b->color) & 0xFF) == 0 && ((a->color ^ c->color) & 0xFF) == 0) {
        DrawTriangleWith<TexturedFill>(renderer, a, b, c);
    } else {
        DrawTriangleWith<TexturedShadedFill>(renderer, a, b, c);
    }
}

const TriangleRoutine triangleFillers[4] = {DrawTriangleFlat, DrawTriangleShaded,
                                            DrawTriangleTextured, DrawTriangleTexturedShaded};
