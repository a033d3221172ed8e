// The renderer, the engine's drawing context: what a program needs to draw
// meshes and pictures into the frame buffer of one Display. It transforms,
// projects and lights mesh vertices into screen vertices, rejects back faces,
// walks each remaining triangle's edges into two edge tables and fills it
// span by span. It also carries the image blits.
//
// Everything is 16.16 fixed point. The interchangeable steps (vertex
// processing, triangle filling) are routine pointers chosen when a mode
// changes, so the loops that draw never test a mode. The stages themselves
// are private to render/ (render/stages.h).
#pragma once
#include "math/fixed.h"
#include "math/matrix.h"
#include "math/mesh.h"

#include <cstdint>

class Display;
struct SortSpace;
struct Texture;

// One transformed vertex. Same eight-word shape as MeshVertex, so u and v sit
// at the same places in both.
struct ScreenVertex {
    Fixed x;     // screen column; whole numbers are pixel columns
    Fixed y;     // screen row, growing downward
    Fixed depth; // z in camera space (distance in front of the camera)
    // Nonzero when the vertex lies at or behind the camera: it could not be
    // projected, and no triangle using it is drawn. Zero for every vertex in
    // front, so screen vertices built by hand with this word 0 draw normally.
    uint32_t behindCamera;
    uint32_t color; // 0xRRGGBB; the low byte is the vertex intensity 0..255
    uint32_t reserved;
    Fixed u;
    Fixed v;
};

// One row of an edge table. Which fields a triangle writes depends on the
// filler in use; the others keep whatever they held.
struct EdgeEntry {
    Fixed x;
    Fixed intensity; // 0..255 as a Fixed
    Fixed u;
    Fixed v;
};

constexpr uint32_t ModeShaded = 1;
constexpr uint32_t ModeTextured = 2;
constexpr uint32_t ModeLit = 4;

constexpr int32_t kEdgeRows = 320; // rows of each edge table
constexpr int32_t kMaxScreenVertices = kMeshMaxVertices;
constexpr int32_t kShadeRampSize = 64;

class Renderer;
struct FrameTiles;

using TriangleRoutine = void (*)(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                                 const ScreenVertex* c);
using VertexRoutine = void (*)(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                               uint32_t count);

class Renderer {
  public:
    // A new renderer draws at once: flat, unlit, untextured, in white, with
    // the identity model-view, a focal length of the frame's width (about 53
    // degrees across), the light travelling straight into the picture and a
    // white shade ramp. A renderer without a display cannot draw.
    Renderer();
    explicit Renderer(Display* display);
    virtual ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // The mode: each setter changes its flag and reselects the routines.
    void SetLighting(bool on);
    void SetShading(bool on);
    // Null clears the textured mode and keeps the old texture pointer.
    void SetTexture(Texture* texture);
    // The vertex routine and the triangle routine of the current modeFlags.
    void SelectFiller();

    // The model-view of the meshes drawn next, with the light taken into
    // their coordinates; and the light, kept in the current model's
    // coordinates as well. Either order gives the same drawing.
    void SetModelView(const Matrix* matrix);
    void SetLightDirection(const Vector3* direction);

    void DrawMesh(const Mesh* mesh);
    // The meshes as one model under the current model-view, light and mode:
    // every front face of all of them, far to near (sorted by the sum of its
    // corners' depths; equal sums keep the order given), since there is no
    // depth buffer. A mesh the space cannot hold, or that is not a mesh the
    // renderer draws, is refused whole with one line (sorted.cpp).
    void DrawMeshesSorted(const Mesh* meshes, int32_t meshCount, SortSpace* space);
    void DrawTriangles(const ScreenVertex* vertices, const uint16_t* indices, int32_t indexCount);
    // Positive when the three screen vertices run clockwise (y down).
    static Fixed FaceSign(const ScreenVertex* vertices, uint32_t i0, uint32_t i1, uint32_t i2);

    void BuildShadeRamp(uint32_t color);

    void BlitOpaque(const Texture* texture, int32_t dstX, int32_t dstY, int32_t width,
                    int32_t height, int32_t srcX, int32_t srcY);
    // The texture's texels on the frame's marked tiles, each pixel from the
    // texel at its own place (those the texture does not reach are left).
    void BlitOpaqueTiles(const Texture* texture, const FrameTiles& tiles);
    void BlitKeyed(const Texture* texture, int32_t dstX, int32_t dstY, int32_t width,
                   int32_t height, int32_t srcX, int32_t srcY);
    void BlitScaledKeyed(const Texture* texture, int32_t dstX, int32_t dstY, int32_t dstWidth,
                         int32_t dstHeight, int32_t srcX, int32_t srcY, int32_t srcWidth,
                         int32_t srcHeight);

    // Where drawing goes. The display is not owned; its frame buffer and
    // size are read at every draw. The view's size is taken at construction.
    Display* display = nullptr;
    Fixed viewWidth = 0;  // frameWidth << 16
    Fixed viewHeight = 0; // frameHeight << 16

    // The mode and the routines it selects (SelectFiller).
    uint32_t modeFlags = 0; // ModeShaded | ModeTextured | ModeLit
    VertexRoutine processVertices = nullptr;
    TriangleRoutine fillTriangle = nullptr;

    // Vertex stage: model space to the screen, and the vertex colours.
    Matrix modelView = {};                      // the model's coordinates to camera space
    Fixed focalLength = 0;                      // camera to image plane, in pixels
    Vector3 lightDirection = {0, 0, kFixedOne}; // where the light travels, in camera space
    Vector3 lightInModel = {0, 0, kFixedOne};   // the same in the model's coordinates
    uint32_t ambientColor = 0;                  // the least a lit vertex gets
    uint32_t diffuseColor = 0xFFFFFF;           // the light's colour (lit), every vertex's (unlit)
    ScreenVertex* screenVertices = nullptr;     // owned; kMaxScreenVertices entries
    // Where DrawMesh and DrawTriangles mark the frame's tiles their triangles
    // may change (none while null; not owned): those holding the box of the
    // vertices drawn from, as every row of a triangle lies between its
    // vertices (across the whole frame where they lie too far apart for an
    // edge's step). A program's own fillTriangle may draw anywhere: with one,
    // every tile is marked. Blits mark nothing.
    FrameTiles* drawnTiles = nullptr;

    // Triangle set-up: each row's span ends, written by the edge walks.
    EdgeEntry leftEdges[kEdgeRows] = {};
    EdgeEntry rightEdges[kEdgeRows] = {}; // right ends, exclusive

    // Span fill: where the shaded and textured fillers take their pixels.
    uint16_t shadeRamp[kShadeRampSize] = {};
    Texture* texture = nullptr; // not owned

  private:
    void FillTriangles(const ScreenVertex* vertices, const uint16_t* indices, int32_t indexCount);
    void MarkDrawn(const ScreenVertex* vertices, int32_t count);
};

// Room for DrawMeshesSorted: screen vertices for all the vertices of the
// meshes drawn together, and the front faces with their depth keys. Taken
// once, for the largest model to be drawn, so drawing allocates nothing. The
// blocks are the renderer's working space; a program reads only the sizes.
struct SortSpace {
    ScreenVertex* vertices = nullptr;
    uint32_t* corners = nullptr; // three screen-vertex numbers per front face
    uint64_t* order = nullptr;   // the front faces' keys and numbers, sorted
    uint64_t* spare = nullptr;   // the sort's other half
    uint32_t* counts = nullptr;  // the sort's digit counts
    int32_t vertexCapacity = 0;
    int32_t triangleCapacity = 0;
    int32_t frontCount = 0; // the front faces the last drawing filled
};
// 1 when the space was had; 0 leaves it empty (the allocator says why).
int SortSpaceCreate(SortSpace* space, int32_t vertices, int32_t triangles);
void SortSpaceRelease(SortSpace* space);

// A 0xRRGGBB colour as an RGB565 pixel: the top 5 bits of red, 6 of green and
// 5 of blue; bits above 23 are ignored.
inline uint16_t PackRgb565(uint32_t color) {
    return static_cast<uint16_t>(((color >> 8) & 0xF800) | ((color >> 5) & 0x7E0) |
                                 ((color >> 3) & 0x1F));
}
