// Mesh stage, where drawing starts: the renderer object with its working
// defaults, mode selection, the model-view with its light, and the loop that
// draws a mesh (its checks, its vertices, then its front faces).
#include "render/renderer.h"

#include "platform/display.h"
#include "platform/frame_tiles.h"
#include "render/stages.h"
#include "resource/debug.h"
#include "resource/memory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

constexpr int32_t kScreenVertexBytes = kMaxScreenVertices * int32_t{sizeof(ScreenVertex)};

// Whether every index is below count (1..kMaxScreenVertices), four indices
// to a 64-bit word: with the top bit of each 16-bit index taken aside, adding
// 0x8000 - count sets the top bit exactly where the rest reaches count, and
// no sum carries into the next index.
bool IndicesBelow(const uint16_t* indices, int32_t n, int32_t count) {
    constexpr uint64_t kTops = 0x8000800080008000u;
    const uint64_t lift = (0x8000u - static_cast<uint64_t>(count)) * 0x0001000100010001u;
    uint64_t found = 0;
    int32_t k = 0;
    for (; k + 4 <= n; k += 4) {
        uint64_t four;
        std::memcpy(&four, indices + k, sizeof four);
        found |= four | ((four & ~kTops) + lift);
    }
    for (; k < n; ++k)
        found |= indices[k] >= count ? kTops : 0;
    return (found & kTops) == 0;
}

} // namespace

Renderer::Renderer() {
    MatrixIdentity(&modelView);
    SelectFiller();
    BuildShadeRamp(0xFFFFFF);
}

Renderer::Renderer(Display* target) : Renderer() {
    display = target;
    screenVertices = static_cast<ScreenVertex*>(MemoryAlloc(kScreenVertexBytes, 0, 4));
    if (display != nullptr) {
        viewWidth = static_cast<Fixed>(static_cast<uint32_t>(display->frameWidth) << 16);
        viewHeight = static_cast<Fixed>(static_cast<uint32_t>(display->frameHeight) << 16);
        focalLength = viewWidth;
    }
}

Renderer::~Renderer() {
    if (screenVertices != nullptr) {
        MemoryFree(screenVertices);
        screenVertices = nullptr;
    }
}

void Renderer::SetLighting(bool on) {
    if (on) {
        modeFlags |= ModeLit;
    } else {
        modeFlags &= ~ModeLit;
    }
    SelectFiller();
}

void Renderer::SetShading(bool on) {
    if (on) {
        modeFlags |= ModeShaded;
    } else {
        modeFlags &= ~ModeShaded;
    }
    SelectFiller();
}

void Renderer::SetTexture(Texture* t) {
    if (t != nullptr) {
        texture = t;
        modeFlags |= ModeTextured;
    } else {
        modeFlags &= ~ModeTextured;
    }
    SelectFiller();
}

// Lighting picks the vertex routine, shading and texture the triangle
// routine; ModeLit takes no part in the filler's choice.
void Renderer::SelectFiller() {
    processVertices = (modeFlags & ModeLit) != 0 ? ProcessVerticesLit : ProcessVerticesUnlit;
    fillTriangle = triangleFillers[modeFlags & 3];
}

// The light reaches the vertex routine in the model's own coordinates: the
// inverse of the model-view's rotation applied to the light's direction.
void Renderer::SetModelView(const Matrix* matrix) {
    modelView = *matrix;
    MatrixInverseRotateVector(&modelView, &lightInModel, &lightDirection);
}

void Renderer::SetLightDirection(const Vector3* direction) {
    lightDirection = *direction;
    MatrixInverseRotateVector(&modelView, &lightInModel, &lightDirection);
}

// A mesh the screen-vertex buffer cannot hold, or whose triangles name
// vertices it does not have, is refused whole, with one line of explanation.
void Renderer::DrawMesh(const Mesh* mesh) {
    if (screenVertices == nullptr || processVertices == nullptr || mesh == nullptr) return;
    const int32_t vertexCount = mesh->vertexCount;
    const int32_t indexCount = mesh->indexCount;
    if (vertexCount < 0 || vertexCount > kMaxScreenVertices || indexCount % 3 != 0) {
        DebugPrint(u"DrawMesh refused: %d vertices, %d indices", vertexCount, indexCount);
        return;
    }
    const auto* indices = reinterpret_cast<const uint16_t*>(mesh->faces);
    if (!IndicesBelow(indices, indexCount, vertexCount)) {
        const uint16_t* bad = std::find_if(indices, indices + indexCount,
                                           [vertexCount](uint16_t i) { return i >= vertexCount; });
        DebugPrint(u"DrawMesh refused: index %d of %d vertices", *bad, vertexCount);
        return;
    }
    processVertices(this, mesh->vertices, screenVertices, static_cast<uint32_t>(vertexCount));
    if (drawnTiles != nullptr) MarkDrawn(screenVertices, vertexCount);
    FillTriangles(screenVertices, indices, indexCount);
}

void Renderer::DrawTriangles(const ScreenVertex* vertices, const uint16_t* indices,
                             int32_t indexCount) {
    if (drawnTiles != nullptr && indexCount > 0) {
        int32_t highest = 0;
        for (int32_t i = 0; i < indexCount; ++i)
            highest = std::max<int32_t>(highest, indices[i]);
        MarkDrawn(vertices, highest + 1);
    }
    FillTriangles(vertices, indices, indexCount);
}

// The box of the vertices, whole pixels: a triangle's rows run from
// floor(top y) to floor(bottom y) - 1 and its columns from floor(left x) to
// floor(right x) - 1, its edges' x lying between their vertices'.
void Renderer::MarkDrawn(const ScreenVertex* vertices, int32_t count) {
    if (display == nullptr || count <= 0) return;
    if (std::find(std::begin(triangleFillers), std::end(triangleFillers), fillTriangle) ==
        std::end(triangleFillers)) {
        FrameTilesMarkWhole(drawnTiles);
        return;
    }
    // Two boxes, of the even and the odd vertices, so that neither waits on
    // the other; vertices behind the camera draw nothing.
    struct Box {
        Fixed left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
        void Take(const ScreenVertex& v) {
            if (v.behindCamera != 0) return;
            left = std::min(left, v.x);
            top = std::min(top, v.y);
            right = std::max(right, v.x);
            bottom = std::max(bottom, v.y);
        }
    };
    Box even, odd;
    int32_t i = 0;
    for (; i + 1 < count; i += 2) {
        even.Take(vertices[i]);
        odd.Take(vertices[i + 1]);
    }
    if (i < count) even.Take(vertices[i]);
    const Fixed left = std::min(even.left, odd.left);
    const Fixed right = std::max(even.right, odd.right);
    // Vertices more than 32767 pixels apart across wrap the step of the edge
    // between them, which then leaves the box: their rows may be drawn
    // anywhere across the frame.
    const bool wraps = int64_t{right} - left > INT32_MAX;
    FrameTilesMark(drawnTiles, wraps ? 0 : left >> 16, std::min(even.top, odd.top) >> 16,
                   wraps ? display->frameWidth : right >> 16,
                   std::max(even.bottom, odd.bottom) >> 16, display->frameWidth,
                   display->frameHeight);
}

void Renderer::FillTriangles(const ScreenVertex* vertices, const uint16_t* indices,
                             int32_t indexCount) {
    if (indexCount <= 0 || fillTriangle == nullptr) return;
    if (display == nullptr || display->frameBuffer == nullptr) return;
    const uint16_t* const end = indices + indexCount / 3 * 3;
    for (int k = 0; k < 4; ++k) {
        if (fillTriangle == triangleFillers[k]) {
            triangleLoops[k](this, vertices, indices, end);
            return;
        }
    }
    for (; indices < end; indices += 3) {
        const ScreenVertex* a = &vertices[indices[0]];
        const ScreenVertex* b = &vertices[indices[1]];
        const ScreenVertex* c = &vertices[indices[2]];
        if (IsDrawnFace(*a, *b, *c)) fillTriangle(this, a, b, c);
    }
}

Fixed Renderer::FaceSign(const ScreenVertex* vertices, uint32_t i0, uint32_t i1, uint32_t i2) {
    const int64_t area = FaceArea(vertices[i0], vertices[i1], vertices[i2]);
    if (area > INT32_MAX) return INT32_MAX;
    if (area < INT32_MIN) return INT32_MIN;
    return static_cast<Fixed>(area);
}
