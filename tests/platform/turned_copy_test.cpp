// The turned copy's two paths against the plain pixel-by-pixel copy: every
// byte of the screen memory, with screens whose row pitch is an odd number of
// pixels, negative, or too small to keep rows apart, pixels on odd addresses,
// and blocks whose sides are not whole tiles. The copy of marked tiles only:
// their bytes as the whole copy writes them, and no others.
#include "platform/turned_copy.h"

#include "platform/frame_tiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

// Row r of the source to the screen column 2r bytes right of the start,
// pixel c of it c steps up, in the order rows and pixels come.
void PlainCopy(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride,
               int32_t width, int32_t height) {
    for (int32_t r = 0; r < height; ++r) {
        for (int32_t c = 0; c < width; ++c)
            std::memcpy(dst + 2 * r - c * step, source + r * sourceStride + 2 * c, 2);
    }
}

// The screen memory after one copy, every byte 0x5A where nothing was written.
template <class Copy>
std::vector<uint8_t> Screen(Copy copy, ptrdiff_t step, int32_t width, int32_t height,
                            ptrdiff_t sourceStride, int32_t offset) {
    std::vector<uint8_t> source(static_cast<size_t>(sourceStride * height + 2));
    for (size_t k = 0; k < source.size(); ++k)
        source[k] = static_cast<uint8_t>((k * 2654435761u) >> 13);
    const ptrdiff_t reach = std::abs(step) * (width + 1) + 2 * height + 64;
    std::vector<uint8_t> memory(static_cast<size_t>(2 * reach), 0x5A);
    // The start lies where the columns, going up or down, stay inside.
    uint8_t* dst = memory.data() + reach + offset;
    copy(dst, step, source.data(), sourceStride, width, height);
    return memory;
}

} // namespace

TEST(TurnedCopy, PortableAndVectorPathsWriteWhatThePlainCopyWrites) {
    const int32_t sizes[][2] = {{240, 240}, {237, 229}, {8, 8}, {17, 9}, {9, 17}, {7, 3}, {1, 1}};
    for (const auto& size : sizes) {
        const int32_t width = size[0], height = size[1];
        // Screen rows: just far enough apart, an odd number of pixels apart,
        // upward in memory, and overlapping (the plain order decides).
        const ptrdiff_t steps[] = {2 * height, 482, -480, -2 * height - 6, 2 * height - 2, 2};
        for (ptrdiff_t step : steps) {
            for (int32_t offset : {0, 1}) {
                for (ptrdiff_t extra : {0, 6}) {
                    const ptrdiff_t stride = 2 * width + extra;
                    const auto expected = Screen(PlainCopy, step, width, height, stride, offset);
                    const auto portable =
                        Screen(CopyTurnedPortable, step, width, height, stride, offset);
                    const auto vector = Screen(CopyTurned, step, width, height, stride, offset);
                    const testing::Message where = testing::Message()
                                                   << width << "x" << height << " step " << step
                                                   << " offset " << offset << " stride " << stride;
                    ASSERT_EQ(portable, expected) << where;
                    ASSERT_EQ(vector, expected) << where;
                }
            }
        }
    }
}

// Random tiles, bits beyond the block too: the plain copy of each marked
// tile's pixels. Where screen rows overlap, the whole block as CopyTurned.
TEST(TurnedCopy, MarkedTilesWriteTheirOwnBytesOnly) {
    std::mt19937_64 random(7);
    const int32_t sizes[][2] = {{240, 240}, {237, 229}, {17, 9}, {7, 3}};
    for (const auto& size : sizes) {
        const int32_t width = size[0], height = size[1];
        const ptrdiff_t steps[] = {2 * height, 482, -2 * height - 6, 2 * height - 2};
        for (ptrdiff_t step : steps) {
            for (int32_t offset : {0, 1}) {
                const ptrdiff_t stride = 2 * width + 6 * offset;
                FrameTiles tiles;
                FrameTilesClear(&tiles);
                for (uint64_t& row : tiles.rows)
                    row = random() & random();
                const auto marked = [&](uint8_t* dst, ptrdiff_t s, const uint8_t* source,
                                        ptrdiff_t sourceStride, int32_t w, int32_t h) {
                    for (int32_t r = 0; r < h; ++r) {
                        for (int32_t c = 0; c < w; ++c) {
                            if ((tiles.rows[r / 8] >> (c / 8) & 1) != 0)
                                std::memcpy(dst + 2 * r - c * s, source + r * sourceStride + 2 * c,
                                            2);
                        }
                    }
                };
                const bool overlapping = step < 2 * height && step > -2 * height;
                const auto expected = overlapping
                                          ? Screen(CopyTurned, step, width, height, stride, offset)
                                          : Screen(marked, step, width, height, stride, offset);
                const auto copied = Screen(
                    [&](uint8_t* dst, ptrdiff_t s, const uint8_t* source, ptrdiff_t sourceStride,
                        int32_t w,
                        int32_t h) { CopyTurnedTiles(dst, s, source, sourceStride, w, h, tiles); },
                    step, width, height, stride, offset);
                ASSERT_EQ(copied, expected)
                    << width << "x" << height << " step " << step << " offset " << offset;
            }
        }
    }
}
