// Platform stage, the screen: the turned copy in 8x8 tiles. A tile is eight
// source rows of eight pixels (16 bytes each) read, turned, and written as
// eight 16-byte runs along eight screen rows. Tiles go down the source in bands
// of eight columns, so the eight screen rows a band writes stay in the cache
// while it is written. Pixels left over at the right and bottom edges are
// copied one by one.
#include "platform/turned_copy.h"

#include "platform/frame_tiles.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#elif defined(__ARM_NEON)
#include <arm_neon.h>
#endif

namespace {

constexpr int32_t kTile = 8;
// A marked tile of the frame is copied as one turned tile (CopyMarkedTiles).
static_assert(kTile == FrameTiles::kSide, "the frame's tiles are the copy's");

// Source rows r0..r1-1, columns c0..c1-1, row after row and pixel after pixel:
// the order of the plain copy, which decides the picture should two writes
// ever land on the same screen bytes.
void CopyPixels(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride,
                int32_t r0, int32_t r1, int32_t c0, int32_t c1) {
    for (int32_t r = r0; r < r1; ++r) {
        const uint8_t* in = source + r * sourceStride + 2 * c0;
        uint8_t* out = dst + 2 * r - c0 * step;
        for (int32_t c = c0; c < c1; ++c, in += 2, out -= step)
            std::memcpy(out, in, 2);
    }
}

// Four pixels in a 64-bit word, lane k the k-th pixel in memory: where that
// lane sits in the word depends on the byte order, and only these say it.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool kLaneZeroLow = false;
#else
constexpr bool kLaneZeroLow = true;
#endif
constexpr uint64_t kEvenLanes = kLaneZeroLow ? 0x0000FFFF0000FFFFu : 0xFFFF0000FFFF0000u;
constexpr uint64_t kFirstLanes = kLaneZeroLow ? 0x00000000FFFFFFFFu : 0xFFFFFFFF00000000u;

inline uint64_t LanesLater(uint64_t word, int lanes) {
    return kLaneZeroLow ? word << (16 * lanes) : word >> (16 * lanes);
}
inline uint64_t LanesEarlier(uint64_t word, int lanes) {
    return kLaneZeroLow ? word >> (16 * lanes) : word << (16 * lanes);
}

// Without vector registers the tile is turned as four blocks of 4x4 pixels,
// four 64-bit words each: read, turned by two rounds of exchanging lanes
// (single pixels, then pairs), written. A word read or written is four pixel
// copies fewer, and all four reads come before the writes they feed.
struct PortableTile {
    static uint64_t Load(const uint8_t* at) {
        uint64_t word;
        std::memcpy(&word, at, 8);
        return word;
    }
    static void Store(uint8_t* at, uint64_t word) { std::memcpy(at, &word, 8); }
    static void Block(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride) {
        const uint64_t r0 = Load(source), r1 = Load(source + sourceStride);
        const uint64_t r2 = Load(source + 2 * sourceStride), r3 = Load(source + 3 * sourceStride);
        const uint64_t odd = ~kEvenLanes, second = ~kFirstLanes;
        const uint64_t t0 = (r0 & kEvenLanes) | (LanesLater(r1, 1) & odd);
        const uint64_t t1 = (LanesEarlier(r0, 1) & kEvenLanes) | (r1 & odd);
        const uint64_t t2 = (r2 & kEvenLanes) | (LanesLater(r3, 1) & odd);
        const uint64_t t3 = (LanesEarlier(r2, 1) & kEvenLanes) | (r3 & odd);
        Store(dst, (t0 & kFirstLanes) | LanesLater(t2, 2));
        Store(dst - step, (t1 & kFirstLanes) | LanesLater(t3, 2));
        Store(dst - 2 * step, LanesEarlier(t0, 2) | (t2 & second));
        Store(dst - 3 * step, LanesEarlier(t1, 2) | (t3 & second));
    }
    static void Copy(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride) {
        const ptrdiff_t down = 4 * sourceStride, up = -4 * step;
        Block(dst, step, source, sourceStride);
        Block(dst + 8, step, source + down, sourceStride);
        Block(dst + up, step, source + 8, sourceStride);
        Block(dst + up + 8, step, source + down + 8, sourceStride);
    }
};

#if defined(__SSE2__)
// Three rounds of interleaving (16-, 32-, then 64-bit units) turn the tile.
// Rows and columns are reached from two bases each (the tile's first and
// fifth) plus one, two or three strides, which x86 addresses without help.
struct VectorTile {
    static void Copy(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride) {
        const uint8_t* const upper = source;
        const uint8_t* const lower = source + 4 * sourceStride;
        const auto load = [sourceStride](const uint8_t* base, int r) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + r * sourceStride));
        };
        const __m128i a0 = load(upper, 0), a1 = load(upper, 1), a2 = load(upper, 2);
        const __m128i a3 = load(upper, 3), a4 = load(lower, 0), a5 = load(lower, 1);
        const __m128i a6 = load(lower, 2), a7 = load(lower, 3);
        const __m128i b0 = _mm_unpacklo_epi16(a0, a1), b1 = _mm_unpackhi_epi16(a0, a1);
        const __m128i b2 = _mm_unpacklo_epi16(a2, a3), b3 = _mm_unpackhi_epi16(a2, a3);
        const __m128i b4 = _mm_unpacklo_epi16(a4, a5), b5 = _mm_unpackhi_epi16(a4, a5);
        const __m128i b6 = _mm_unpacklo_epi16(a6, a7), b7 = _mm_unpackhi_epi16(a6, a7);
        const __m128i c0 = _mm_unpacklo_epi32(b0, b2), c1 = _mm_unpackhi_epi32(b0, b2);
        const __m128i c2 = _mm_unpacklo_epi32(b1, b3), c3 = _mm_unpackhi_epi32(b1, b3);
        const __m128i c4 = _mm_unpacklo_epi32(b4, b6), c5 = _mm_unpackhi_epi32(b4, b6);
        const __m128i c6 = _mm_unpacklo_epi32(b5, b7), c7 = _mm_unpackhi_epi32(b5, b7);
        const ptrdiff_t up = -step;
        uint8_t* const near = dst;
        uint8_t* const far = dst + 4 * up;
        const auto store = [up](uint8_t* base, int c, __m128i pixels) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(base + c * up), pixels);
        };
        store(near, 0, _mm_unpacklo_epi64(c0, c4));
        store(near, 1, _mm_unpackhi_epi64(c0, c4));
        store(near, 2, _mm_unpacklo_epi64(c1, c5));
        store(near, 3, _mm_unpackhi_epi64(c1, c5));
        store(far, 0, _mm_unpacklo_epi64(c2, c6));
        store(far, 1, _mm_unpackhi_epi64(c2, c6));
        store(far, 2, _mm_unpacklo_epi64(c3, c7));
        store(far, 3, _mm_unpackhi_epi64(c3, c7));
    }
};
#elif defined(__ARM_NEON)
// Transposes of 2x2 blocks of 16-bit, then of 32-bit units, then the halves
// exchanged. Bytes are loaded and stored as bytes: the screen may put a pixel
// on an odd address.
struct VectorTile {
    static void Copy(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride) {
        const auto row = [&](int r) {
            return vreinterpretq_u16_u8(vld1q_u8(source + r * sourceStride));
        };
        const uint16x8x2_t t01 = vtrnq_u16(row(0), row(1));
        const uint16x8x2_t t23 = vtrnq_u16(row(2), row(3));
        const uint16x8x2_t t45 = vtrnq_u16(row(4), row(5));
        const uint16x8x2_t t67 = vtrnq_u16(row(6), row(7));
        const auto pairs = [](uint16x8_t a, uint16x8_t b) {
            return vtrnq_u32(vreinterpretq_u32_u16(a), vreinterpretq_u32_u16(b));
        };
        const uint32x4x2_t even03 = pairs(t01.val[0], t23.val[0]); // columns 0 4, 2 6
        const uint32x4x2_t odd03 = pairs(t01.val[1], t23.val[1]);  // columns 1 5, 3 7
        const uint32x4x2_t even47 = pairs(t45.val[0], t67.val[0]);
        const uint32x4x2_t odd47 = pairs(t45.val[1], t67.val[1]);
        const auto store = [&](int c, uint32x2_t top, uint32x2_t bottom) {
            vst1q_u8(dst - c * step, vreinterpretq_u8_u32(vcombine_u32(top, bottom)));
        };
        store(0, vget_low_u32(even03.val[0]), vget_low_u32(even47.val[0]));
        store(4, vget_high_u32(even03.val[0]), vget_high_u32(even47.val[0]));
        store(2, vget_low_u32(even03.val[1]), vget_low_u32(even47.val[1]));
        store(6, vget_high_u32(even03.val[1]), vget_high_u32(even47.val[1]));
        store(1, vget_low_u32(odd03.val[0]), vget_low_u32(odd47.val[0]));
        store(5, vget_high_u32(odd03.val[0]), vget_high_u32(odd47.val[0]));
        store(3, vget_low_u32(odd03.val[1]), vget_low_u32(odd47.val[1]));
        store(7, vget_high_u32(odd03.val[1]), vget_high_u32(odd47.val[1]));
    }
};
#endif

template <class Tile>
void CopyTiles(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride,
               int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    // Screen rows closer together than a copied run of pixels overlap: there
    // the plain order decides which write stays.
    const ptrdiff_t run = 2 * static_cast<ptrdiff_t>(height);
    if (step < run && step > -run) {
        CopyPixels(dst, step, source, sourceStride, 0, height, 0, width);
        return;
    }
    const int32_t tiledRows = height - height % kTile;
    const int32_t tiledColumns = width - width % kTile;
    for (int32_t c = 0; c < tiledColumns; c += kTile) {
        uint8_t* out = dst - c * step;
        const uint8_t* in = source + 2 * c;
        for (int32_t r = 0; r < tiledRows; r += kTile) {
            Tile::Copy(out, step, in, sourceStride);
            out += 2 * kTile;
            in += kTile * sourceStride;
        }
    }
    CopyPixels(dst, step, source, sourceStride, 0, tiledRows, tiledColumns, width);
    CopyPixels(dst, step, source, sourceStride, tiledRows, height, 0, width);
}

// The marked tiles only, tile row after tile row (FrameTiles: width and
// height within its bits). Tiles cut short by the source's right or bottom
// edge are copied pixel by pixel.
template <class Tile>
void CopyMarkedTiles(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride,
                     int32_t width, int32_t height, const FrameTiles& marked) {
    if (width <= 0 || height <= 0) return;
    const ptrdiff_t run = 2 * static_cast<ptrdiff_t>(height);
    if (step < run && step > -run) {
        CopyPixels(dst, step, source, sourceStride, 0, height, 0, width);
        return;
    }
    const int32_t tileRows = std::min((height + kTile - 1) / kTile, FrameTiles::kMaxRows);
    const int32_t wholeColumns = width / kTile;
    for (int32_t r = 0; r < tileRows; ++r) {
        const int32_t r0 = r * kTile;
        const int32_t r1 = std::min(r0 + kTile, height);
        for (uint64_t bits = marked.rows[r]; bits != 0; bits &= bits - 1) {
            const int32_t c0 = LowestBit(bits) * kTile;
            if (r1 - r0 == kTile && c0 < wholeColumns * kTile) {
                Tile::Copy(dst - c0 * step + 2 * r0, step, source + r0 * sourceStride + 2 * c0,
                           sourceStride);
            } else {
                CopyPixels(dst, step, source, sourceStride, r0, r1, c0,
                           std::min(c0 + kTile, width));
            }
        }
    }
}

} // namespace

void CopyTurnedPortable(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride,
                        int32_t width, int32_t height) {
    CopyTiles<PortableTile>(dst, step, source, sourceStride, width, height);
}

#if defined(__SSE2__) || defined(__ARM_NEON)
const bool kTurnedCopyHasVectorPath = true;

void CopyTurned(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride,
                int32_t width, int32_t height) {
    CopyTiles<VectorTile>(dst, step, source, sourceStride, width, height);
}

void CopyTurnedTiles(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride,
                     int32_t width, int32_t height, const FrameTiles& tiles) {
    CopyMarkedTiles<VectorTile>(dst, step, source, sourceStride, width, height, tiles);
}
#else
const bool kTurnedCopyHasVectorPath = false;

void CopyTurned(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride,
                int32_t width, int32_t height) {
    CopyTurnedPortable(dst, step, source, sourceStride, width, height);
}

void CopyTurnedTiles(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride,
                     int32_t width, int32_t height, const FrameTiles& tiles) {
    CopyMarkedTiles<PortableTile>(dst, step, source, sourceStride, width, height, tiles);
}
#endif
