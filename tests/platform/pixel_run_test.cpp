// A run of a repeated pixel: exactly its own bytes, for every length a flat
// span or a fill can have in the first few tiles of sixteen bytes, starting on
// even and odd addresses.
#include "platform/pixel_run.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(PixelRun, WritesExactlyItsPixelsWhateverTheLengthAndAddress) {
    const PixelRun run(0xA1B2);
    for (int32_t count = -1; count <= 40; ++count) {
        for (int offset : {0, 1}) {
            std::vector<uint8_t> memory(2 * 40 + 16, 0x5A);
            run.Fill(memory.data() + 4 + offset, count);
            std::vector<uint8_t> expected(memory.size(), 0x5A);
            uint8_t* out = expected.data() + 4 + offset;
            for (int32_t k = 0; k < count; ++k) {
                const uint16_t pixel = 0xA1B2;
                std::memcpy(out + 2 * k, &pixel, 2);
            }
            ASSERT_EQ(memory, expected) << count << " pixels at offset " << offset;
        }
    }
}
