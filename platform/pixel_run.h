// Platform stage, the screen: runs of memory. A 16-bit pixel repeated along a
// run: fills of the screen and of the frame buffer, and flat spans. A run is
// written in stores of sixteen bytes, or, when shorter, in two stores of eight,
// four or two bytes that meet or overlap in the middle; whatever its length,
// only its own bytes are written, at any byte address, with few decisions (runs
// of flat spans are short and of every length). And a run copied (CopyRun): the
// background's rows, the straight screen's.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// For each count, the bytes of a sixteen-byte window that a run of count
// pixels covers (0xFF) and those it does not (0).
struct alignas(16) PixelWindows {
    uint8_t bytes[9][16];
    constexpr PixelWindows() : bytes{} {
        for (int count = 0; count <= 8; ++count) {
            for (int byte = 0; byte < 2 * count; ++byte)
                bytes[count][byte] = 0xFF;
        }
    }
};
inline constexpr PixelWindows kPixelWindows{};

class PixelRun {
  public:
    explicit PixelRun(uint16_t pixel) {
        for (int i = 0; i < 16; i += 2)
            std::memcpy(pattern_ + i, &pixel, 2);
    }
    // count copies from out on; none when count is not positive.
    void Fill(uint8_t* out, int32_t count) const {
        if (count >= 8) {
            uint8_t* const last = out + 2 * static_cast<ptrdiff_t>(count) - 16;
            for (; out < last; out += 16)
                std::memcpy(out, pattern_, 16);
            std::memcpy(last, pattern_, 16);
        } else if (count >= 4) {
            Ends<8>(out, count);
        } else if (count >= 2) {
            Ends<4>(out, count);
        } else if (count == 1) {
            std::memcpy(out, pattern_, 2);
        }
    }

    // 1 <= count <= 8 pixels from out on, where the sixteen bytes from out on
    // are memory that may be read and written back: the bytes beyond the run
    // are put back as they were. One pass, whatever the count, so the short
    // runs of flat spans cost no decisions.
    void FillShort(uint8_t* out, int32_t count) const {
#if defined(__SSE2__)
        const __m128i window =
            _mm_load_si128(reinterpret_cast<const __m128i*>(kPixelWindows.bytes[count]));
        const __m128i pattern = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern_));
        const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_xor_si128(old, _mm_and_si128(_mm_xor_si128(old, pattern), window)));
#else
        for (int half = 0; half < 16; half += 8) {
            uint64_t window, pattern, old;
            std::memcpy(&window, kPixelWindows.bytes[count] + half, 8);
            std::memcpy(&pattern, pattern_ + half, 8);
            std::memcpy(&old, out + half, 8);
            old = (old & ~window) | (pattern & window);
            std::memcpy(out + half, &old, 8);
        }
#endif
    }

  private:
    // The first and the last `bytes` of a run of 2 * count >= bytes bytes.
    template <int bytes>
    void Ends(uint8_t* out, int32_t count) const {
        std::memcpy(out, pattern_, bytes);
        std::memcpy(out + 2 * static_cast<ptrdiff_t>(count) - bytes, pattern_, bytes);
    }

    uint8_t pattern_[16];
};

// bytes from in on copied to out on; the two runs do not overlap. With SSE2,
// 64 bytes a step and the last 64 ending at the run's end (rewriting a few
// bytes with what they already hold): the library's copy took half as long
// again for the 480-byte rows of a frame, whose lengths it tests at every call.
inline void CopyRun(uint8_t* out, const uint8_t* in, size_t bytes) {
#if defined(__SSE2__)
    if (bytes >= 64) {
        const auto copy64 = [](uint8_t* to, const uint8_t* from) {
            const auto* source = reinterpret_cast<const __m128i*>(from);
            auto* target = reinterpret_cast<__m128i*>(to);
            const __m128i a = _mm_loadu_si128(source), b = _mm_loadu_si128(source + 1);
            const __m128i c = _mm_loadu_si128(source + 2), d = _mm_loadu_si128(source + 3);
            _mm_storeu_si128(target, a);
            _mm_storeu_si128(target + 1, b);
            _mm_storeu_si128(target + 2, c);
            _mm_storeu_si128(target + 3, d);
        };
        const uint8_t* const last = in + bytes - 64;
        uint8_t* const lastOut = out + bytes - 64;
        for (; in < last; in += 64, out += 64)
            copy64(out, in);
        copy64(lastOut, last);
        return;
    }
    if (bytes >= 16) {
        const auto copy16 = [](uint8_t* to, const uint8_t* from) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
        };
        const uint8_t* const last = in + bytes - 16;
        uint8_t* const lastOut = out + bytes - 16;
        for (; in < last; in += 16, out += 16)
            copy16(out, in);
        copy16(lastOut, last);
        return;
    }
#endif
    std::memcpy(out, in, bytes);
}

// rows runs of bytes each, the runs outStride and inStride bytes apart.
inline void CopyRows(uint8_t* out, ptrdiff_t outStride, const uint8_t* in, ptrdiff_t inStride,
                     size_t bytes, int32_t rows) {
    for (int32_t i = 0; i < rows; ++i, out += outStride, in += inStride)
        CopyRun(out, in, bytes);
}
