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

// A, B, C in index order; the triangle has passed the back-face test, so it
// runs clockwise on the screen. The long edge (top to bottom) is the left
// boundary when the middle vertex follows the top one in the cycle A->B->C,
// the right boundary otherwise. The comparisons and their order decide ties.
//
// Each row of the triangle is drawn as it would be from edge tables into
// which the three edges had been walked: the long edge beside the upper
// short edge down to the middle vertex's row, beside the lower one from
// there, each edge at a row holding the values its walk writes there.
template <class Fill>
void DrawTriangleWith(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
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

    const Display* display = renderer->display;
    if (display == nullptr || display->frameBuffer == nullptr) return;
    const int32_t topRow = top->y >> 16;
    const int32_t middleRow = middle->y >> 16;
    const int32_t bottomRow = bottom->y >> 16;
    const int32_t startRow = std::max(topRow, 0);
    // The edges stop at the current frame's rows; so do the rows drawn, even
    // should the frame have shrunk since the renderer was made.
    const int32_t endRow =
        std::min(std::min(bottom->y, renderer->viewHeight) >> 16, RowLimit(renderer));
    if (startRow >= endRow || !Fill::Drawable(*renderer)) return;
    const Fill fill(*renderer, a->color);
    const int32_t width = display->frameWidth;

    const TriangleRows rows{
        top,
        middle,
        bottom,
        topRow,
        middleRow,
        bottomRow,
        startRow,
        {std::min(middleRow, endRow) - startRow, endRow - std::max(middleRow, startRow)}};
    uint16_t* const row = display->frameBuffer + startRow * width;
    if (longIsLeft) {
        FillRows<Fill, true>(fill, row, width, rows);
    } else {
        FillRows<Fill, false>(fill, row, width, rows);
    }
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
