// Vertex stage, four vertices at a time with SSE4.1's multiply of four lanes
// (vertex_quad.h). Built with SSE4.1 on x86 (render/CMakeLists.txt) and run
// only where the processor has it (vertex.cpp); empty in any other build.
#if defined(__SSE4_1__)
#include "render/vertex_quad.h"

#include <smmintrin.h>

namespace {

// The low 32 bits of each lane's product, four at a time.
struct Sse41Products {
    // FixMul's operand: the lanes shifted right by 8.
    struct Operand {
        explicit Operand(__m128i values) : shifted(_mm_srai_epi32(values, 8)) {}
        __m128i shifted;
    };
    static __m128i Times(const Operand& a, __m128i b) { return _mm_mullo_epi32(a.shifted, b); }
    static __m128i Mul(const Operand& a, const Operand& b) {
        return _mm_mullo_epi32(a.shifted, b.shifted);
    }
    static __m128i Dot(const Operand& a0, const Operand& a1, const Operand& a2, __m128i b0,
                       __m128i b1, __m128i b2) {
        return _mm_add_epi32(_mm_add_epi32(Times(a0, b0), Times(a1, b1)), Times(a2, b2));
    }
};

} // namespace

void ProcessQuadsLitSse41(const ViewLanes& view, const LightLanes& light, const MeshVertex* in,
                          ScreenVertex* out, uint32_t quads) {
    ProcessQuads<Sse41Products>(view, LitQuad<Sse41Products>{light}, in, out, quads);
}

void ProcessQuadsFlatSse41(const ViewLanes& view, __m128i colour, const MeshVertex* in,
                           ScreenVertex* out, uint32_t quads) {
    ProcessQuads<Sse41Products>(view, FlatQuad<Sse41Products>{colour}, in, out, quads);
}
#endif
