// Vertex stage, four vertices at a time in the lanes of SSE registers, one
// quantity per register: every FixMul is the low half of a 32x32-bit product
// of the shifted operands, as in the rule, and the divide is the same single
// precision division. The multiplies come from a policy: SSE2's, two lanes
// at a time (vertex.cpp), or SSE4.1's, four at a time (vertex_sse41.cpp,
// built for SSE4.1 and run only where the processor has it). The two files
// are built with different instruction sets, so nothing here may be one
// shared function that either could provide: the helpers are static and the
// templates are instantiated with each file's own policy.
#pragma once
#include "math/mesh.h"
#include "render/renderer.h"

#include <cstdint>
#include <emmintrin.h>

// The view as four lanes: the model-view's rotation as FixMul operands
// (shifted right by 8) and its translation, the divide's numerator, the
// screen's centre.
struct ViewLanes {
    __m128i factor[9]; // element (row, column) at 3 * row + column
    __m128i translation[3];
    __m128 numerator;
    __m128i centreX;
    __m128i centreY;
};

// A lit vertex's colour as four lanes: the light as FixMul operands, and the
// colours' channels (blue, green, red at 0, 1, 2... as LitColor takes them).
struct LightLanes {
    __m128i light[3];
    __m128i diffuse[3];
    __m128i ambientChannel[3];
    __m128i ambient;
};

// The SSE4.1 entries (vertex_sse41.cpp): `quads` groups of four vertices,
// lit or of one colour.
void ProcessQuadsLitSse41(const ViewLanes& view, const LightLanes& light, const MeshVertex* in,
                          ScreenVertex* out, uint32_t quads);
void ProcessQuadsFlatSse41(const ViewLanes& view, __m128i colour, const MeshVertex* in,
                           ScreenVertex* out, uint32_t quads);

// SSE2 multiplies the low halves of lanes 0 and 2 (_mm_mul_epu32); lanes 1
// and 3 are moved down for a second multiply, and the low halves of the
// four 64-bit products gathered.
struct Sse2Products {
    // FixMul's operand: the lanes shifted right by 8, and their odd lanes
    // moved down.
    struct Operand {
        explicit Operand(__m128i lanes)
            : even(_mm_srai_epi32(lanes, 8)), odd(_mm_srli_epi64(even, 32)) {}
        __m128i even;
        __m128i odd;
    };
    // `even` holds the products of lanes 0 and 2, `odd` those of 1 and 3.
    static __m128i LowHalves(__m128i even, __m128i odd) {
        return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(3, 1, 2, 0)),
                                  _mm_shuffle_epi32(odd, _MM_SHUFFLE(3, 1, 2, 0)));
    }
    // Each lane of a by b, one number in every lane (so its odd lanes are
    // its even ones).
    static __m128i Times(const Operand& a, __m128i b) {
        return LowHalves(_mm_mul_epu32(a.even, b), _mm_mul_epu32(a.odd, b));
    }
    static __m128i Mul(const Operand& a, const Operand& b) {
        return LowHalves(_mm_mul_epu32(a.even, b.even), _mm_mul_epu32(a.odd, b.odd));
    }
    // a0 * b0 + a1 * b1 + a2 * b2, the b one number in every lane: the sums
    // are taken before the halves are gathered.
    static __m128i Dot(const Operand& a0, const Operand& a1, const Operand& a2, __m128i b0,
                       __m128i b1, __m128i b2) {
        const __m128i even =
            _mm_add_epi32(_mm_add_epi32(_mm_mul_epu32(a0.even, b0), _mm_mul_epu32(a1.even, b1)),
                          _mm_mul_epu32(a2.even, b2));
        const __m128i odd =
            _mm_add_epi32(_mm_add_epi32(_mm_mul_epu32(a0.odd, b0), _mm_mul_epu32(a1.odd, b1)),
                          _mm_mul_epu32(a2.odd, b2));
        return LowHalves(even, odd);
    }
};

// A number of the renderer in every lane, shifted right by 8 as FixMul's
// operand.
static inline __m128i Factor(Fixed value) {
    return _mm_set1_epi32(value >> 8);
}

// Lanes of a where mask is set, of b elsewhere.
static inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// The colours of four lit vertices from their normals' lanes.
template <class Products>
struct LitQuad {
    using Operand = typename Products::Operand;
    __m128i operator()(__m128i nx, __m128i ny, __m128i nz) const {
        const __m128i d = Products::Dot(Operand(nx), Operand(ny), Operand(nz), lanes.light[0],
                                        lanes.light[1], lanes.light[2]);
        const Operand k(_mm_sub_epi32(_mm_setzero_si128(), d));
        // Each channel's sum lies below 2^24 + 256: two saturating packs
        // clamp it at 255 and leave it a byte, [b0..b3 r0..r3 g0..g3 0000];
        // two interleavings put each vertex's bytes together as 0x00RRGGBB.
        const auto channel = [&](int c) {
            return _mm_add_epi32(_mm_srli_epi32(Products::Times(k, lanes.diffuse[c]), 8),
                                 lanes.ambientChannel[c]);
        };
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(channel(2), channel(0)),
                                               _mm_packs_epi32(channel(1), _mm_setzero_si128()));
        const __m128i pairs = _mm_unpacklo_epi8(bytes, _mm_srli_si128(bytes, 8));
        const __m128i rgb = _mm_unpacklo_epi16(pairs, _mm_srli_si128(pairs, 8));
        return Select(_mm_srai_epi32(d, 31), rgb, lanes.ambient);
    }
    const LightLanes& lanes;
};

// The colour of unlit vertices.
template <class Products>
struct FlatQuad {
    __m128i operator()(__m128i, __m128i, __m128i) const { return colour; }
    __m128i colour;
};

// A quad's camera-space x, y and z, the start of its perspective divide, and
// its normals' x. The loop takes the next quad this far before it finishes
// the one before, so the divide's latency is spent on other work.
struct QuadFront {
    __m128i x, y, z;
    __m128 quotient;
    __m128i nx;
};

template <class Products>
[[gnu::always_inline]] inline QuadFront FrontOf(const ViewLanes& view, const MeshVertex* in) {
    using Operand = typename Products::Operand;
    // Each vertex as [x y z nx], turned into a register per quantity.
    const auto low = [in](int k) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(&in[k].position));
    };
    const __m128i low0 = low(0), low1 = low(1), low2 = low(2), low3 = low(3);
    const __m128i xy01 = _mm_unpacklo_epi32(low0, low1);
    const __m128i xy23 = _mm_unpacklo_epi32(low2, low3);
    const __m128i zn01 = _mm_unpackhi_epi32(low0, low1);
    const __m128i zn23 = _mm_unpackhi_epi32(low2, low3);
    const Operand px(_mm_unpacklo_epi64(xy01, xy23));
    const Operand py(_mm_unpackhi_epi64(xy01, xy23));
    const Operand pz(_mm_unpacklo_epi64(zn01, zn23));

    QuadFront front;
    const __m128i* f = view.factor;
    front.x = _mm_add_epi32(Products::Dot(px, py, pz, f[0], f[3], f[6]), view.translation[0]);
    front.y = _mm_add_epi32(Products::Dot(px, py, pz, f[1], f[4], f[7]), view.translation[1]);
    front.z = _mm_add_epi32(Products::Dot(px, py, pz, f[2], f[5], f[8]), view.translation[2]);
    // Lanes at or behind the camera divide too, and are not kept.
    front.quotient = _mm_div_ps(view.numerator, _mm_cvtepi32_ps(front.z));
    front.nx = _mm_unpackhi_epi64(zn01, zn23);
    return front;
}

template <class Products, class Colours>
[[gnu::always_inline]] inline void FinishQuad(const ViewLanes& view, const Colours& colours,
                                              const QuadFront& front, const MeshVertex* in,
                                              ScreenVertex* out) {
    using Operand = typename Products::Operand;
    // Each vertex's [ny nz u v].
    const auto highAt = [in](int k) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(&in[k].normal.y));
    };
    const __m128i high[4] = {highAt(0), highAt(1), highAt(2), highAt(3)};
    const __m128i yz01 = _mm_unpacklo_epi32(high[0], high[1]);
    const __m128i yz23 = _mm_unpacklo_epi32(high[2], high[3]);
    const __m128i ny = _mm_unpacklo_epi64(yz01, yz23);
    const __m128i nz = _mm_unpackhi_epi64(yz01, yz23);

    // FixDividend::Over: a quotient of 2^31 or more converts to 0x80000000
    // and is made INT32_MAX; one below -2^31 converts to INT32_MIN, as it
    // should.
    const __m128 quotient = front.quotient;
    const Operand scale(
        _mm_xor_si128(_mm_cvttps_epi32(quotient),
                      _mm_castps_si128(_mm_cmpge_ps(quotient, _mm_set1_ps(2147483648.0f)))));
    const __m128i x = front.x, y = front.y, z = front.z;
    const __m128i projectedX = _mm_add_epi32(Products::Mul(Operand(x), scale), view.centreX);
    const __m128i projectedY = _mm_sub_epi32(view.centreY, Products::Mul(Operand(y), scale));
    const __m128i inFront = _mm_cmpgt_epi32(z, _mm_setzero_si128());
    const __m128i screenX = Select(inFront, projectedX, x);
    const __m128i screenY = Select(inFront, projectedY, y);
    const __m128i behind = _mm_andnot_si128(inFront, _mm_set1_epi32(1));

    // [x y depth behindCamera] of each vertex; its colour; u and v as they
    // came. The word between colour and u is not written.
    const __m128i xy0 = _mm_unpacklo_epi32(screenX, screenY);
    const __m128i xy1 = _mm_unpackhi_epi32(screenX, screenY);
    const __m128i zb0 = _mm_unpacklo_epi32(z, behind);
    const __m128i zb1 = _mm_unpackhi_epi32(z, behind);
    const __m128i colour = colours(front.nx, ny, nz);
    const auto store = [&](int k, __m128i screen, __m128i colourFirst) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(&out[k].x), screen);
        out[k].color = static_cast<uint32_t>(_mm_cvtsi128_si32(colourFirst));
        _mm_storeh_pd(reinterpret_cast<double*>(&out[k].u), _mm_castsi128_pd(high[k]));
    };
    store(0, _mm_unpacklo_epi64(xy0, zb0), colour);
    store(1, _mm_unpackhi_epi64(xy0, zb0), _mm_shuffle_epi32(colour, 1));
    store(2, _mm_unpacklo_epi64(xy1, zb1), _mm_shuffle_epi32(colour, 2));
    store(3, _mm_unpackhi_epi64(xy1, zb1), _mm_shuffle_epi32(colour, 3));
}

// `quads` >= 1 groups of four vertices.
template <class Products, class Colours>
void ProcessQuads(const ViewLanes& view, const Colours& colours, const MeshVertex* in,
                  ScreenVertex* out, uint32_t quads) {
    QuadFront front = FrontOf<Products>(view, in);
    for (uint32_t q = 1; q < quads; ++q) {
        const QuadFront next = FrontOf<Products>(view, in + 4 * q);
        FinishQuad<Products>(view, colours, front, in + 4 * (q - 1), out + 4 * (q - 1));
        front = next;
    }
    FinishQuad<Products>(view, colours, front, in + 4 * (quads - 1), out + 4 * (quads - 1));
}
