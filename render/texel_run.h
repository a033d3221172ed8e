// Span fill's texel runs: the pixels of one span of a textured triangle, all
// from one shade level. Pixel i shows the level's texel of column
// ((u + i du) >> 16) & mask and row ((v + i dv) >> 16) & mask, with u and v in
// texel units and mask = (1 << shift) - 1 (the level's side less one); the
// sums wrap as 32-bit numbers do.
//
// TexelRunPortable is the rule, one pixel after the other. TexelRunVector,
// where the compiler offers SSE2, finds four texel offsets at a time; it
// writes exactly the same pixels (tests/render/texel_run_test.cpp).
#pragma once
#include "math/fixed.h"

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The texel offset within a level: ((v >> 16) & mask) << shift plus
// (u >> 16) & mask, the row's part taken in one shift and one mask (the bits
// it keeps lie below bit 31, so the shift's kind does not matter).
struct TexelOffset {
    explicit TexelOffset(unsigned widthShift)
        : shift(widthShift), mask((1u << widthShift) - 1), rowShift(16 - widthShift),
          rowMask(mask << widthShift), wordMasks((rowMask << 16) | mask) {}
    size_t operator()(Fixed u, Fixed v) const {
        return ((static_cast<uint32_t>(v) >> rowShift) & rowMask) +
               ((static_cast<uint32_t>(u) >> 16) & mask);
    }
    unsigned shift;
    uint32_t mask;
    unsigned rowShift;
    uint32_t rowMask;
    uint32_t wordMasks; // the vector path's: the column's mask, then the row's
};

// count >= 1.
inline void TexelRunPortable(uint16_t* out, int32_t count, const uint16_t* level,
                             const TexelOffset& offset, Fixed u, Fixed du, Fixed v, Fixed dv) {
    uint16_t* const end = out + count;
    for (ptrdiff_t i = -static_cast<ptrdiff_t>(count); i < 0; ++i, u += du, v += dv)
        end[i] = level[offset(u, v)];
}

#if defined(__SSE2__)
constexpr bool kTexelRunHasVectorPath = true;

// Whether TexelRunVector serves a level of this side: its offsets must fit a
// signed 16-bit number, and v shifted once more must keep its row bits.
inline bool TexelRunVectorFits(const TexelOffset& offset) {
    return offset.shift <= 7;
}

// count >= 1. The four pixels after the span must be memory that may be read
// and written back: the loop writes whole groups of four, then puts those
// four back as they were.
//
// Each register holds two pixels' u and v << shift, so that one arithmetic
// shift by 16 brings both the column and the row, times the side, into the
// low 16 bits of their lanes (exactly, as signed numbers); a pack, a mask of
// each word and a multiply-add of the word pairs by 1 give four offsets.
// TexelRunPairs starts from the first pair, [u, v << shift, u + du,
// (v + dv) << shift], and its step, [2 du, 2 dv << shift] twice.
// `masks` is TexelRunMasks(offset).
inline __m128i TexelRunMasks(const TexelOffset& offset) {
    return _mm_set1_epi32(static_cast<int32_t>(offset.wordMasks));
}
inline void TexelRunPairs(uint16_t* out, int32_t count, const uint16_t* level, __m128i masks,
                          __m128i pair0, __m128i step2) {
    __m128i pair1 = _mm_add_epi32(pair0, step2);
    const __m128i step4 = _mm_add_epi32(step2, step2);
    const __m128i ones = _mm_set1_epi16(1);
    uint16_t* const end = out + count;
    const __m128i after = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(end));
    for (; out < end; out += 4) {
        const __m128i words = _mm_and_si128(
            _mm_packs_epi32(_mm_srai_epi32(pair0, 16), _mm_srai_epi32(pair1, 16)), masks);
        const __m128i offsets = _mm_madd_epi16(words, ones);
        __m128i pixels = _mm_cvtsi32_si128(level[_mm_extract_epi16(offsets, 0)]);
        pixels = _mm_insert_epi16(pixels, level[_mm_extract_epi16(offsets, 2)], 1);
        pixels = _mm_insert_epi16(pixels, level[_mm_extract_epi16(offsets, 4)], 2);
        pixels = _mm_insert_epi16(pixels, level[_mm_extract_epi16(offsets, 6)], 3);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), pixels);
        pair0 = _mm_add_epi32(pair0, step4);
        pair1 = _mm_add_epi32(pair1, step4);
    }
    _mm_storel_epi64(reinterpret_cast<__m128i*>(end), after);
}

inline void TexelRunVector(uint16_t* out, int32_t count, const uint16_t* level,
                           const TexelOffset& offset, Fixed u, Fixed du, Fixed v, Fixed dv) {
    const auto shifted = [&](Fixed value) {
        return static_cast<int32_t>(static_cast<uint32_t>(value) << offset.shift);
    };
    const __m128i first = _mm_unpacklo_epi32(_mm_cvtsi32_si128(u), _mm_cvtsi32_si128(shifted(v)));
    const __m128i step = _mm_unpacklo_epi32(_mm_cvtsi32_si128(du), _mm_cvtsi32_si128(shifted(dv)));
    TexelRunPairs(out, count, level, TexelRunMasks(offset),
                  _mm_unpacklo_epi64(first, _mm_add_epi32(first, step)),
                  _mm_unpacklo_epi64(_mm_add_epi32(step, step), _mm_add_epi32(step, step)));
}
#else
constexpr bool kTexelRunHasVectorPath = false;
inline bool TexelRunVectorFits(const TexelOffset&) {
    return false;
}
// Never chosen: TexelRunVectorFits serves no level.
inline void TexelRunVector(uint16_t* out, int32_t count, const uint16_t* level,
                           const TexelOffset& offset, Fixed u, Fixed du, Fixed v, Fixed dv) {
    TexelRunPortable(out, count, level, offset, u, du, v, dv);
}
#endif
