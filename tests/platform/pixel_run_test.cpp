// A run of a repeated pixel: exactly its own pixels, for every length a flat
// span or a fill can have in the first few tiles of sixteen bytes, starting on
// even and odd addresses; the short form leaves the rest of its window as it
// was.
#include "platform/pixel_run.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr uint16_t kPixel = 0xA1B2;

// The memory after writing count pixels at byte offset 4 + offset of a
// buffer of distinct bytes.
template <class Write>
std::vector<uint8_t> After(int32_t count, int offset, Write write) {
    std::vector<uint8_t> memory(2 * 40 + 32);
    for (size_t k = 0; k < memory.size(); ++k)
        memory[k] = static_cast<uint8_t>(k * 37 + 11);
    write(memory.data() + 4 + offset, count);
    return memory;
}

std::vector<uint8_t> Expected(int32_t count, int offset) {
    return After(count, offset, [](uint8_t* out, int32_t n) {
        for (int32_t k = 0; k < n; ++k)
            std::memcpy(out + 2 * k, &kPixel, 2);
    });
}

} // namespace

TEST(PixelRun, WritesExactlyItsPixelsWhateverTheLengthAndAddress) {
    const PixelRun run(kPixel);
    for (int offset : {0, 1}) {
        for (int32_t count = -1; count <= 40; ++count) {
            const auto fill = [&](uint8_t* out, int32_t n) { run.Fill(out, n); };
            ASSERT_EQ(After(count, offset, fill), Expected(count, offset))
                << count << " pixels at offset " << offset;
        }
        for (int32_t count = 1; count <= 8; ++count) {
            const auto fill = [&](uint8_t* out, int32_t n) { run.FillShort(out, n); };
            ASSERT_EQ(After(count, offset, fill), Expected(count, offset))
                << count << " pixels at offset " << offset << ", short";
        }
    }
}
