// Vertex stage, four or eight vertices at a time in the lanes of vector
// registers, one quantity per register: every FixMul is the low half of a
// 32x32-bit product of the shifted operands, as in the rule, and the divide is
// the same single precision division. The multiplies come from a policy:
// SSE2's, two lanes at a time (vertex.cpp), SSE4.1's, four at a time
// (vertex_sse41.cpp), or AVX2's, eight at a time (vertex_avx2.cpp); the last
// two files are built for their instruction sets and run only where the
// processor has them. The registers' width comes from a second policy: four
// lanes (Lanes4) or eight (Lanes8, AVX2), where the eight are two groups of
// four in the registers' two halves, vertices k and k + 4 side by side, so
// every interleaving and pack works within a half as it does on four lanes.
// The files are built with different instruction sets, so nothing here may be
// one shared function that any of them could provide: the helpers are static
// or in this header's unnamed namespace, and the templates are instantiated
// with each file's own policies.
#pragma once
#include "math/mesh.h"
#include "render/renderer.h"

#include <cstddef>
#include <cstdint>
#include <emmintrin.h>
#if defined(__AVX2__)
#include <immintrin.h>
#elif defined(__SSE4_1__)
#include <smmintrin.h>
#endif

// A register's width: its types of 32-bit numbers.
struct FourLanes {
    using Int = __m128i;
    using Float = __m128;
};
#if defined(__AVX2__)
struct EightLanes {
    using Int = __m256i;
    using Float = __m256;
};
#endif

// The view in every lane: the model-view's rotation as FixMul operands
// (shifted right by 8) and its translation, the divide's numerator, the
// screen's centre.
template <class Width>
struct ViewLanesOf {
    typename Width::Int factor[9]; // element (row, column) at 3 * row + column
    typename Width::Int translation[3];
    typename Width::Float numerator;
    typename Width::Int centreX;
    typename Width::Int centreY;
};
using ViewLanes = ViewLanesOf<FourLanes>;

// A lit vertex's colour in every lane: the light as FixMul operands, and the
// colours' channels (blue, green, red at 0, 1, 2... as LitColor takes them).
template <class Width>
struct LightLanesOf {
    typename Width::Int light[3];
    typename Width::Int diffuse[3];
    typename Width::Int ambientChannel[3];
    typename Width::Int ambient;
};
using LightLanes = LightLanesOf<FourLanes>;

// The SSE4.1 and AVX2 entries (vertex_sse41.cpp, vertex_avx2.cpp): `quads`
// groups of four vertices, lit or of one colour.
void ProcessQuadsLitSse41(const ViewLanes& view, const LightLanes& light, const MeshVertex* in,
                          ScreenVertex* out, uint32_t quads);
void ProcessQuadsFlatSse41(const ViewLanes& view, __m128i colour, const MeshVertex* in,
                           ScreenVertex* out, uint32_t quads);
void ProcessQuadsLitAvx2(const ViewLanes& view, const LightLanes& light, const MeshVertex* in,
                         ScreenVertex* out, uint32_t quads);
void ProcessQuadsFlatAvx2(const ViewLanes& view, __m128i colour, const MeshVertex* in,
                          ScreenVertex* out, uint32_t quads);

namespace {

// Four lanes, a vertex each.
struct Lanes4 : FourLanes {
    using Width = FourLanes;
    static constexpr uint32_t kVertices = 4;

    // The 16 bytes at `at` of the group's vertex k, in lane k's place.
    static Int Words(const uint8_t* at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    }
    // Vertex k's [x y depth behindCamera], its colour in lane 0 of
    // `colour`, and its u and v (the high half of `high`). The word between
    // colour and u is not written.
    static void Store(ScreenVertex* out, Int screen, Int colour, Int high) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(&out->x), screen);
        out->color = static_cast<uint32_t>(_mm_cvtsi128_si32(colour));
        _mm_storeh_pd(reinterpret_cast<double*>(&out->u), _mm_castsi128_pd(high));
    }

    static Int Set(int32_t value) { return _mm_set1_epi32(value); }
    static Int Zero() { return _mm_setzero_si128(); }
    static Int Add(Int a, Int b) { return _mm_add_epi32(a, b); }
    static Int Sub(Int a, Int b) { return _mm_sub_epi32(a, b); }
    static Int And(Int a, Int b) { return _mm_and_si128(a, b); }
    static Int AndNot(Int a, Int b) { return _mm_andnot_si128(a, b); }
    static Int Or(Int a, Int b) { return _mm_or_si128(a, b); }
    static Int Xor(Int a, Int b) { return _mm_xor_si128(a, b); }
    static Int Greater(Int a, Int b) { return _mm_cmpgt_epi32(a, b); }
    template <int bits>
    static Int ShiftArith(Int a) {
        return _mm_srai_epi32(a, bits);
    }
    template <int bits>
    static Int Shift(Int a) {
        return _mm_srli_epi32(a, bits);
    }
    static Int Low32(Int a, Int b) { return _mm_unpacklo_epi32(a, b); }
    static Int High32(Int a, Int b) { return _mm_unpackhi_epi32(a, b); }
    static Int Low64(Int a, Int b) { return _mm_unpacklo_epi64(a, b); }
    static Int High64(Int a, Int b) { return _mm_unpackhi_epi64(a, b); }
    static Int Low8(Int a, Int b) { return _mm_unpacklo_epi8(a, b); }
    static Int Low16(Int a, Int b) { return _mm_unpacklo_epi16(a, b); }
    static Int Pack32(Int a, Int b) { return _mm_packs_epi32(a, b); }
    static Int Pack16(Int a, Int b) { return _mm_packus_epi16(a, b); }
    static Int UpperBytes(Int a) { return _mm_srli_si128(a, 8); }
    template <int lane>
    static Int LaneDown(Int a) {
        return _mm_shuffle_epi32(a, lane);
    }
    static Float ToFloat(Int a) { return _mm_cvtepi32_ps(a); }
    static Float Divide(Float a, Float b) { return _mm_div_ps(a, b); }
    static Int Truncate(Float a) { return _mm_cvttps_epi32(a); }
    static Int AtLeast(Float a, float bound) {
        return _mm_castps_si128(_mm_cmpge_ps(a, _mm_set1_ps(bound)));
    }
};

#if defined(__AVX2__)
// Eight lanes: vertices k and k + 4 in lane k of each half.
struct Lanes8 : EightLanes {
    using Width = EightLanes;
    static constexpr uint32_t kVertices = 8;
    static constexpr ptrdiff_t kHalf = 4 * sizeof(MeshVertex);

    static Int Words(const uint8_t* at) {
        return _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + kHalf)), 1);
    }
    // Vertex k from the low halves, vertex k + 4 from the high ones.
    static void Store(ScreenVertex* out, Int screen, Int colour, Int high) {
        Lanes4::Store(out, _mm256_castsi256_si128(screen), _mm256_castsi256_si128(colour),
                      _mm256_castsi256_si128(high));
        Lanes4::Store(out + 4, _mm256_extracti128_si256(screen, 1),
                      _mm256_extracti128_si256(colour, 1), _mm256_extracti128_si256(high, 1));
    }

    static Int Set(int32_t value) { return _mm256_set1_epi32(value); }
    static Int Zero() { return _mm256_setzero_si256(); }
    static Int Add(Int a, Int b) { return _mm256_add_epi32(a, b); }
    static Int Sub(Int a, Int b) { return _mm256_sub_epi32(a, b); }
    static Int And(Int a, Int b) { return _mm256_and_si256(a, b); }
    static Int AndNot(Int a, Int b) { return _mm256_andnot_si256(a, b); }
    static Int Or(Int a, Int b) { return _mm256_or_si256(a, b); }
    static Int Xor(Int a, Int b) { return _mm256_xor_si256(a, b); }
    static Int Greater(Int a, Int b) { return _mm256_cmpgt_epi32(a, b); }
    template <int bits>
    static Int ShiftArith(Int a) {
        return _mm256_srai_epi32(a, bits);
    }
    template <int bits>
    static Int Shift(Int a) {
        return _mm256_srli_epi32(a, bits);
    }
    static Int Low32(Int a, Int b) { return _mm256_unpacklo_epi32(a, b); }
    static Int High32(Int a, Int b) { return _mm256_unpackhi_epi32(a, b); }
    static Int Low64(Int a, Int b) { return _mm256_unpacklo_epi64(a, b); }
    static Int High64(Int a, Int b) { return _mm256_unpackhi_epi64(a, b); }
    static Int Low8(Int a, Int b) { return _mm256_unpacklo_epi8(a, b); }
    static Int Low16(Int a, Int b) { return _mm256_unpacklo_epi16(a, b); }
    static Int Pack32(Int a, Int b) { return _mm256_packs_epi32(a, b); }
    static Int Pack16(Int a, Int b) { return _mm256_packus_epi16(a, b); }
    static Int UpperBytes(Int a) { return _mm256_srli_si256(a, 8); }
    template <int lane>
    static Int LaneDown(Int a) {
        return _mm256_shuffle_epi32(a, lane);
    }
    static Float ToFloat(Int a) { return _mm256_cvtepi32_ps(a); }
    static Float Divide(Float a, Float b) { return _mm256_div_ps(a, b); }
    static Int Truncate(Float a) { return _mm256_cvttps_epi32(a); }
    static Int AtLeast(Float a, float bound) {
        return _mm256_castps_si256(_mm256_cmp_ps(a, _mm256_set1_ps(bound), _CMP_GE_OS));
    }
};
#endif

// SSE2 multiplies the low halves of lanes 0 and 2 (_mm_mul_epu32); lanes 1
// and 3 are moved down for a second multiply, and the low halves of the
// four 64-bit products gathered.
struct Sse2Products {
    using Lanes = Lanes4;
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

#if defined(__SSE4_1__)
// SSE4.1's multiply, and AVX2's on eight lanes: the low 32 bits of each
// lane's product, every lane at once.
inline __m128i MulLow(__m128i a, __m128i b) {
    return _mm_mullo_epi32(a, b);
}
#if defined(__AVX2__)
inline __m256i MulLow(__m256i a, __m256i b) {
    return _mm256_mullo_epi32(a, b);
}
#endif

template <class L>
struct MulloProducts {
    using Lanes = L;
    using Int = typename L::Int;
    // FixMul's operand: the lanes shifted right by 8.
    struct Operand {
        explicit Operand(Int values) : shifted(L::template ShiftArith<8>(values)) {}
        Int shifted;
    };
    static Int Times(const Operand& a, Int b) { return MulLow(a.shifted, b); }
    static Int Mul(const Operand& a, const Operand& b) { return MulLow(a.shifted, b.shifted); }
    static Int Dot(const Operand& a0, const Operand& a1, const Operand& a2, Int b0, Int b1,
                   Int b2) {
        return L::Add(L::Add(Times(a0, b0), Times(a1, b1)), Times(a2, b2));
    }
};
#endif

// A number of the renderer in every lane, shifted right by 8 as FixMul's
// operand.
inline __m128i Factor(Fixed value) {
    return _mm_set1_epi32(value >> 8);
}

// Lanes of a where mask is set, of b elsewhere.
template <class L>
typename L::Int Select(typename L::Int mask, typename L::Int a, typename L::Int b) {
    return L::Or(L::And(mask, a), L::AndNot(mask, b));
}

// The colours of a group of lit vertices from their normals' lanes.
template <class Products>
struct LitQuad {
    using L = typename Products::Lanes;
    using Int = typename L::Int;
    using Operand = typename Products::Operand;
    [[gnu::always_inline]] Int operator()(Int nx, Int ny, Int nz) const {
        const Int d = Products::Dot(Operand(nx), Operand(ny), Operand(nz), lanes.light[0],
                                    lanes.light[1], lanes.light[2]);
        const Operand k(L::Sub(L::Zero(), d));
        // Each channel's sum lies below 2^24 + 256: two saturating packs
        // clamp it at 255 and leave it a byte, [b0..b3 r0..r3 g0..g3 0000];
        // two interleavings put each vertex's bytes together as 0x00RRGGBB.
        const auto channel = [&](int c) {
            return L::Add(L::template Shift<8>(Products::Times(k, lanes.diffuse[c])),
                          lanes.ambientChannel[c]);
        };
        const Int bytes =
            L::Pack16(L::Pack32(channel(2), channel(0)), L::Pack32(channel(1), L::Zero()));
        const Int pairs = L::Low8(bytes, L::UpperBytes(bytes));
        const Int rgb = L::Low16(pairs, L::UpperBytes(pairs));
        return Select<L>(L::template ShiftArith<31>(d), rgb, lanes.ambient);
    }
    const LightLanesOf<typename L::Width>& lanes;
};

// The colour of unlit vertices.
template <class Products>
struct FlatQuad {
    using Int = typename Products::Lanes::Int;
    Int operator()(Int, Int, Int) const { return colour; }
    Int colour;
};

// A group's camera-space x, y and z, the start of its perspective divide, and
// its normals' x. The loop takes the next group this far before it finishes
// the one before, so the divide's latency is spent on other work.
template <class L>
struct QuadFront {
    typename L::Int x, y, z;
    typename L::Float quotient;
    typename L::Int nx;
};

template <class Products, class View>
[[gnu::always_inline]] inline QuadFront<typename Products::Lanes> FrontOf(const View& view,
                                                                          const MeshVertex* in) {
    using L = typename Products::Lanes;
    using Int = typename L::Int;
    using Operand = typename Products::Operand;
    // Each vertex as [x y z nx], turned into a register per quantity.
    const auto low = [in](int k) {
        return L::Words(reinterpret_cast<const uint8_t*>(&in[k].position));
    };
    const Int low0 = low(0), low1 = low(1), low2 = low(2), low3 = low(3);
    const Int xy01 = L::Low32(low0, low1);
    const Int xy23 = L::Low32(low2, low3);
    const Int zn01 = L::High32(low0, low1);
    const Int zn23 = L::High32(low2, low3);
    const Operand px(L::Low64(xy01, xy23));
    const Operand py(L::High64(xy01, xy23));
    const Operand pz(L::Low64(zn01, zn23));

    QuadFront<L> front;
    const Int* f = view.factor;
    front.x = L::Add(Products::Dot(px, py, pz, f[0], f[3], f[6]), view.translation[0]);
    front.y = L::Add(Products::Dot(px, py, pz, f[1], f[4], f[7]), view.translation[1]);
    front.z = L::Add(Products::Dot(px, py, pz, f[2], f[5], f[8]), view.translation[2]);
    // Lanes at or behind the camera divide too, and are not kept.
    front.quotient = L::Divide(view.numerator, L::ToFloat(front.z));
    front.nx = L::High64(zn01, zn23);
    return front;
}

template <class Products, class View, class Colours>
[[gnu::always_inline]] inline void FinishQuad(const View& view, const Colours& colours,
                                              const QuadFront<typename Products::Lanes>& front,
                                              const MeshVertex* in, ScreenVertex* out) {
    using L = typename Products::Lanes;
    using Int = typename L::Int;
    using Operand = typename Products::Operand;
    // Each vertex's [ny nz u v].
    const auto highAt = [in](int k) {
        return L::Words(reinterpret_cast<const uint8_t*>(&in[k].normal.y));
    };
    const Int high[4] = {highAt(0), highAt(1), highAt(2), highAt(3)};
    const Int yz01 = L::Low32(high[0], high[1]);
    const Int yz23 = L::Low32(high[2], high[3]);
    const Int ny = L::Low64(yz01, yz23);
    const Int nz = L::High64(yz01, yz23);

    // FixDividend::Over: a quotient of 2^31 or more converts to 0x80000000
    // and is made INT32_MAX; one below -2^31 converts to INT32_MIN, as it
    // should.
    const auto quotient = front.quotient;
    const Operand scale(L::Xor(L::Truncate(quotient), L::AtLeast(quotient, 2147483648.0f)));
    const Int x = front.x, y = front.y, z = front.z;
    const Int projectedX = L::Add(Products::Mul(Operand(x), scale), view.centreX);
    const Int projectedY = L::Sub(view.centreY, Products::Mul(Operand(y), scale));
    const Int inFront = L::Greater(z, L::Zero());
    const Int screenX = Select<L>(inFront, projectedX, x);
    const Int screenY = Select<L>(inFront, projectedY, y);
    const Int behind = L::AndNot(inFront, L::Set(1));

    // [x y depth behindCamera] of each vertex; its colour; u and v as they
    // came.
    const Int xy0 = L::Low32(screenX, screenY);
    const Int xy1 = L::High32(screenX, screenY);
    const Int zb0 = L::Low32(z, behind);
    const Int zb1 = L::High32(z, behind);
    const Int colour = colours(front.nx, ny, nz);
    L::Store(out, L::Low64(xy0, zb0), colour, high[0]);
    L::Store(out + 1, L::High64(xy0, zb0), L::template LaneDown<1>(colour), high[1]);
    L::Store(out + 2, L::Low64(xy1, zb1), L::template LaneDown<2>(colour), high[2]);
    L::Store(out + 3, L::High64(xy1, zb1), L::template LaneDown<3>(colour), high[3]);
}

// `groups` >= 1 groups of Products::Lanes::kVertices vertices.
template <class Products, class View, class Colours>
void ProcessQuads(const View& view, const Colours& colours, const MeshVertex* in, ScreenVertex* out,
                  uint32_t groups) {
    constexpr uint32_t n = Products::Lanes::kVertices;
    auto front = FrontOf<Products>(view, in);
    for (uint32_t g = 1; g < groups; ++g) {
        const auto next = FrontOf<Products>(view, in + n * g);
        FinishQuad<Products>(view, colours, front, in + n * (g - 1), out + n * (g - 1));
        front = next;
    }
    FinishQuad<Products>(view, colours, front, in + n * (groups - 1), out + n * (groups - 1));
}

} // namespace
