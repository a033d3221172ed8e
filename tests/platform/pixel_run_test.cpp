// A run of a repeated pixel: exactly its own pixels, for every length a flat
// span or a fill can have in the first few tiles of sixteen bytes, starting on
// even and odd addresses; the short form leaves the rest of its window as it
// was. A copied run: exactly its bytes, for every length up to a few steps of
// the vector copy and the frame's row, at every alignment of both ends.
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

TEST(CopyRun, CopiesExactlyItsBytesWhateverTheLengthAndAddresses) {
    std::vector<uint8_t> source(600);
    for (size_t k = 0; k < source.size(); ++k)
        source[k] = static_cast<uint8_t>(k * 131 + 7);
    std::vector<size_t> lengths;
    for (size_t bytes = 0; bytes <= 200; ++bytes)
        lengths.push_back(bytes);
    lengths.insert(lengths.end(), {255, 256, 257, 480, 481});
    for (size_t bytes : lengths) {
        for (int from : {0, 1, 8}) {
            for (int to : {0, 3, 16}) {
                std::vector<uint8_t> copied(source.size() + 32, 0x5A);
                CopyRun(copied.data() + to, source.data() + from, bytes);
                std::vector<uint8_t> expected(copied.size(), 0x5A);
                std::memcpy(expected.data() + to, source.data() + from, bytes);
                ASSERT_EQ(copied, expected)
                    << bytes << " bytes from offset " << from << " to " << to;
            }
        }
    }
}
