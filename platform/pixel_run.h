// A 16-bit pixel repeated along a run of memory: fills of the screen and of
// the frame buffer, and flat spans. A run is written in stores of sixteen
// bytes, or, when shorter, in two stores of eight, four or two bytes that
// meet or overlap in the middle; whatever its length, only its own bytes are
// written, at any byte address, with few decisions (runs of flat spans are
// short and of every length).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

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

  private:
    // The first and the last `bytes` of a run of 2 * count >= bytes bytes.
    template <int bytes>
    void Ends(uint8_t* out, int32_t count) const {
        std::memcpy(out, pattern_, bytes);
        std::memcpy(out + 2 * static_cast<ptrdiff_t>(count) - bytes, pattern_, bytes);
    }

    uint8_t pattern_[16];
};
