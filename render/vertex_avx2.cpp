// Vertex stage, eight vertices at a time with AVX2's multiply of eight lanes
// (vertex_quad.h), a last group of four with the same multiply on four. Built
// with AVX2 on x86 (render/CMakeLists.txt) and run only where the processor
// has it (vertex.cpp); empty in any other build.
#if defined(__AVX2__)
#include "render/vertex_quad.h"

#include <immintrin.h>

namespace {

using Avx2Products4 = MulloProducts<Lanes4>;
using Avx2Products8 = MulloProducts<Lanes8>;

__m256i Both(__m128i lanes) {
    return _mm256_broadcastsi128_si256(lanes);
}

ViewLanesOf<EightLanes> Widen(const ViewLanes& view) {
    ViewLanesOf<EightLanes> wide;
    for (int k = 0; k < 9; ++k)
        wide.factor[k] = Both(view.factor[k]);
    for (int k = 0; k < 3; ++k)
        wide.translation[k] = Both(view.translation[k]);
    wide.numerator = _mm256_castsi256_ps(Both(_mm_castps_si128(view.numerator)));
    wide.centreX = Both(view.centreX);
    wide.centreY = Both(view.centreY);
    return wide;
}

LightLanesOf<EightLanes> Widen(const LightLanes& light) {
    LightLanesOf<EightLanes> wide;
    for (int k = 0; k < 3; ++k) {
        wide.light[k] = Both(light.light[k]);
        wide.diffuse[k] = Both(light.diffuse[k]);
        wide.ambientChannel[k] = Both(light.ambientChannel[k]);
    }
    wide.ambient = Both(light.ambient);
    return wide;
}

// Pairs of groups of four as groups of eight, an odd last group as four.
template <class Colours8, class Colours4>
void ProcessInEights(const ViewLanes& view, const Colours8& colours8, const Colours4& colours4,
                     const MeshVertex* in, ScreenVertex* out, uint32_t quads) {
    const uint32_t eights = quads / 2;
    if (eights > 0) ProcessQuads<Avx2Products8>(Widen(view), colours8, in, out, eights);
    if (quads % 2 != 0)
        ProcessQuads<Avx2Products4>(view, colours4, in + 8 * eights, out + 8 * eights, 1);
}

} // namespace

void ProcessQuadsLitAvx2(const ViewLanes& view, const LightLanes& light, const MeshVertex* in,
                         ScreenVertex* out, uint32_t quads) {
    const LightLanesOf<EightLanes> wide = Widen(light);
    ProcessInEights(view, LitQuad<Avx2Products8>{wide}, LitQuad<Avx2Products4>{light}, in, out,
                    quads);
}

void ProcessQuadsFlatAvx2(const ViewLanes& view, __m128i colour, const MeshVertex* in,
                          ScreenVertex* out, uint32_t quads) {
    ProcessInEights(view, FlatQuad<Avx2Products8>{Both(colour)}, FlatQuad<Avx2Products4>{colour},
                    in, out, quads);
}
#endif
