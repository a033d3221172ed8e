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
          rowMask(mask << widthShift) {}
    size_t operator()(Fixed u, Fixed v) const {
        return ((static_cast<uint32_t>(v) >> rowShift) & rowMask) +
               ((static_cast<uint32_t>(u) >> 16) & mask);
    }
    unsigned shift;
    uint32_t mask;
    unsigned rowShift;
    uint32_t rowMask;
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

// Whether TexelRunVector serves a level of this side: the side and every
// offset must fit a signed 16-bit number.
inline bool TexelRunVectorFits(const TexelOffset& offset) {
    return offset.shift <= 7;
}

// The four pixels after a run must be memory that may be read and written
// back: the loop writes whole groups of four, then puts those four back as
// they were.
//
// Each register holds two pixels' u and v: one arithmetic shift by 16 brings
// their columns and rows into the low 16 bits of their lanes (exactly, as
// signed numbers); a pack, the mask of each word and a multiply-add of the
// word pairs by 1 and by the side give four offsets (below 2^15: at most
// 127 + 127 * 128). TexelRunPairs starts from the first pair, [u, v, u + du,
// v + dv], and its step, [2 du, 2 dv] twice; `words` is
// TexelRunWords(offset).
struct TexelRunWords {
    explicit TexelRunWords(const TexelOffset& offset)
        : masks(_mm_set1_epi16(static_cast<int16_t>(offset.mask))),
          weights(_mm_set1_epi32(static_cast<int32_t>((1u << offset.shift << 16) | 1u))) {}
    __m128i masks;
    __m128i weights;
};

// The texels at four offsets (32-bit lanes, each below 2^15 and so the low
// word of its lane) stored at out. Each offset is taken into a general
// register by itself, and each texel stored by itself: inserting them into one
// register to store them together would make each wait for the one before.
// SSE2 takes each lane's low word. Built with SSE4.1's instructions (the rows'
// AVX build, kWholeLanes), whole lanes are taken instead, the first by a plain
// move, which costs the processor less; the compiler finds those moves for
// the lanes read back from memory.
template <bool kWholeLanes>
inline void StoreTexels(uint16_t* out, const uint16_t* level, __m128i offsets) {
    if constexpr (kWholeLanes) {
        alignas(16) uint32_t at[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(at), offsets);
        out[0] = level[at[0]];
        out[1] = level[at[1]];
        out[2] = level[at[2]];
        out[3] = level[at[3]];
    } else {
        out[0] = level[_mm_extract_epi16(offsets, 0)];
        out[1] = level[_mm_extract_epi16(offsets, 2)];
        out[2] = level[_mm_extract_epi16(offsets, 4)];
        out[3] = level[_mm_extract_epi16(offsets, 6)];
    }
}

// The pixels from out to end (none when end <= out).
template <bool kWholeLanes = false>
inline void TexelRunPairs(uint16_t* out, uint16_t* end, const uint16_t* level,
                          const TexelRunWords& words, __m128i pair0, __m128i step2) {
    __m128i pair1 = _mm_add_epi32(pair0, step2);
    const __m128i step4 = _mm_add_epi32(step2, step2);
    const __m128i after = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(end));
    for (; out < end; out += 4) {
        const __m128i columnsRows = _mm_and_si128(
            _mm_packs_epi32(_mm_srai_epi32(pair0, 16), _mm_srai_epi32(pair1, 16)), words.masks);
        StoreTexels<kWholeLanes>(out, level, _mm_madd_epi16(columnsRows, words.weights));
        pair0 = _mm_add_epi32(pair0, step4);
        pair1 = _mm_add_epi32(pair1, step4);
    }
    _mm_storel_epi64(reinterpret_cast<__m128i*>(end), after);
}

// count >= 1.
inline void TexelRunVector(uint16_t* out, int32_t count, const uint16_t* level,
                           const TexelOffset& offset, Fixed u, Fixed du, Fixed v, Fixed dv) {
    const __m128i first = _mm_unpacklo_epi32(_mm_cvtsi32_si128(u), _mm_cvtsi32_si128(v));
    const __m128i step = _mm_unpacklo_epi32(_mm_cvtsi32_si128(du), _mm_cvtsi32_si128(dv));
    const __m128i step2 = _mm_add_epi32(step, step);
    TexelRunPairs(out, out + count, level, TexelRunWords(offset),
                  _mm_unpacklo_epi64(first, _mm_add_epi32(first, step)),
                  _mm_unpacklo_epi64(step2, step2));
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
