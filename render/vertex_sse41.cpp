// Vertex stage, four vertices at a time with SSE4.1's multiply of four lanes
// (vertex_quad.h). Built with SSE4.1 on x86 (render/CMakeLists.txt) and run
// only where the processor has it (vertex.cpp); empty in any other build.
#if defined(__SSE4_1__)
#include "render/vertex_quad.h"

using Sse41Products = MulloProducts<Lanes4>;

void ProcessQuadsLitSse41(const ViewLanes& view, const LightLanes& light, const MeshVertex* in,
                          ScreenVertex* out, uint32_t quads) {
    ProcessQuads<Sse41Products>(view, LitQuad<Sse41Products>{light}, in, out, quads);
}

void ProcessQuadsFlatSse41(const ViewLanes& view, __m128i colour, const MeshVertex* in,
                           ScreenVertex* out, uint32_t quads) {
    ProcessQuads<Sse41Products>(view, FlatQuad<Sse41Products>{colour}, in, out, quads);
}
#endif
