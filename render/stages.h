// The renderer's stages as they call one another, private to render/ (and its
// tests). The mesh stage (renderer.cpp, sorted.cpp) hands a mesh to the
// vertex stage (vertex.cpp), then each front face to triangle set-up
// (triangle.cpp, with the edge walk of edge.h), which hands the triangle's
// rows to the span fill (span.cpp, with the fillers of span.h). A program
// draws through the Renderer alone (renderer.h).
#pragma once
#include "render/renderer.h"

#include <cstdint>

// The back-face test, the same wherever meshes are drawn (renderer.cpp,
// sorted.cpp). (B - A).x * (C - A).y - (B - A).y * (C - A).x with the
// precision of FixMul (each difference loses its low 8 bits), but in 64 bits:
// triangles more than about 181 pixels across would overflow 32-bit
// products. Wherever the 32-bit value is exact this is the same value;
// otherwise it keeps the exact value's sign. Positive when A, B, C run
// clockwise on the screen (y down).
inline int64_t FaceArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    const int64_t abx = (int64_t{b.x} - a.x) >> 8;
    const int64_t aby = (int64_t{b.y} - a.y) >> 8;
    const int64_t acx = (int64_t{c.x} - a.x) >> 8;
    const int64_t acy = (int64_t{c.y} - a.y) >> 8;
    return abx * acy - aby * acx;
}
// Only front faces are drawn: clockwise, so a zero area (collinear corners, or
// a sliver thinner than the products see) is not. A vertex at or behind the
// camera has no place on the screen, nor has a face using it. Its x and y
// are still set (camera space), so the area is found first: half the faces
// of a closed mesh are told by it alone.
inline bool IsDrawnFace(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    if (FaceArea(a, b, c) <= 0) return false;
    return (a.behindCamera | b.behindCamera | c.behindCamera) == 0;
}

// Vertex stage (vertex.cpp): processVertices is one of these two. They take
// four or eight vertices at a time where the build has a vector path; the portable
// routines, one vertex after the other, are the rule they keep.
void ProcessVerticesLit(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                        uint32_t count);
void ProcessVerticesUnlit(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                          uint32_t count);
extern const bool kVertexHasVectorPath;
// On x86 the vector path's multiplies are built three times: SSE2's, two
// lanes at a time, SSE4.1's, four at a time, and AVX2's, eight vertices at a
// time; from start-up it takes the widest the processor has.
// UseVertexSse41(false) and UseVertexAvx2(false) leave SSE4.1 or AVX2 out,
// true takes them again where the processor has them; each returns whether
// its instruction set (or a wider one) is now used. All give the same
// vertices.
bool UseVertexSse41(bool use);
bool UseVertexAvx2(bool use);
void ProcessVerticesLitPortable(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                                uint32_t count);
void ProcessVerticesUnlitPortable(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                                  uint32_t count);
// ambient + diffuse scaled by the intensity, each channel clamped at 255.
uint32_t LitColor(uint32_t diffuse, Fixed intensity, uint32_t ambient);

// Triangle set-up (triangle.cpp): fillTriangle is one of these four, the
// entry of triangleFillers at modeFlags & 3.
extern const TriangleRoutine triangleFillers[4];
void DrawTriangleFlat(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                      const ScreenVertex* c);
void DrawTriangleShaded(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                        const ScreenVertex* c);
void DrawTriangleTextured(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                          const ScreenVertex* c);
void DrawTriangleTexturedShaded(Renderer* renderer, const ScreenVertex* a, const ScreenVertex* b,
                                const ScreenVertex* c);
// The same four as loops over a mesh's triangles (indices up to end, three
// a time), each drawing the front faces as its routine above would: the
// entry of triangleLoops at modeFlags & 3. Renderer::DrawTriangles takes the
// loop of fillTriangle's entry, and calls fillTriangle itself for any other
// routine.
using TriangleLoop = void (*)(Renderer* renderer, const ScreenVertex* vertices,
                              const uint16_t* indices, const uint16_t* end);
extern const TriangleLoop triangleLoops[4];
void DrawTrianglesFlat(Renderer* renderer, const ScreenVertex* vertices, const uint16_t* indices,
                       const uint16_t* end);
void DrawTrianglesShaded(Renderer* renderer, const ScreenVertex* vertices, const uint16_t* indices,
                         const uint16_t* end);
void DrawTrianglesTextured(Renderer* renderer, const ScreenVertex* vertices,
                           const uint16_t* indices, const uint16_t* end);
void DrawTrianglesTexturedShaded(Renderer* renderer, const ScreenVertex* vertices,
                                 const uint16_t* indices, const uint16_t* end);

// The edge walk of each filler (edge.h), from P down to Q into a table.
using EdgeWalker = void (*)(const Renderer* renderer, const ScreenVertex* p, const ScreenVertex* q,
                            EdgeEntry* table);
extern const EdgeWalker WalkEdge;
extern const EdgeWalker WalkEdgeShaded;
extern const EdgeWalker WalkEdgeTextured;
extern const EdgeWalker WalkEdgeTexturedShaded;

// Span fill (span.cpp): rows startRow..endRow-1 of the edge tables; color is
// the triangle's first vertex's.
void FillFlat(Renderer* renderer, int32_t startRow, int32_t endRow, uint32_t color);
void FillShaded(Renderer* renderer, int32_t startRow, int32_t endRow);
void FillTextured(Renderer* renderer, int32_t startRow, int32_t endRow, uint32_t color);
void FillTexturedShaded(Renderer* renderer, int32_t startRow, int32_t endRow);
