// The texel runs' two paths (render/texel_run.h): the vector path writes
// exactly the pixels of the portable one, for every level side it serves,
// spans of every length from one pixel to past the frame's width, and
// coordinates and steps of every size, wrapping ones included; the pixels
// around a span stay as they were.
#include "render/texel_run.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Run = void (*)(uint16_t*, int32_t, const uint16_t*, const TexelOffset&, Fixed, Fixed, Fixed,
                     Fixed);

constexpr int32_t kLongest = 300;
constexpr int32_t kMargin = 8;

struct SpanCase {
    int32_t count;
    Fixed u, du, v, dv;
};

// The buffer after one run of `span`, starting kMargin pixels in.
std::vector<uint16_t> Drawn(Run run, const std::vector<uint16_t>& level, const TexelOffset& offset,
                            const SpanCase& span) {
    std::vector<uint16_t> pixels(kLongest + 2 * kMargin, 0xDEAD);
    run(pixels.data() + kMargin, span.count, level.data(), offset, span.u, span.du, span.v,
        span.dv);
    return pixels;
}

} // namespace

TEST(TexelRun, VectorPathWritesThePixelsOfThePortableOne) {
    if (!kTexelRunHasVectorPath) GTEST_SKIP() << "this build has no vector path";
    std::mt19937 random(12);
    for (unsigned shift = 0; shift <= 7; ++shift) {
        const TexelOffset offset(shift);
        ASSERT_TRUE(TexelRunVectorFits(offset)) << shift;
        std::vector<uint16_t> level(size_t{1} << (2 * shift));
        for (size_t k = 0; k < level.size(); ++k)
            level[k] = static_cast<uint16_t>(k * 40503u + 17);
        for (int trial = 0; trial < 3000; ++trial) {
            const auto any = [&] { return static_cast<Fixed>(random()); };
            // Steps of about a texel or less, as spans have, and any at all.
            const auto small = [&] { return static_cast<Fixed>(random() % 0x40000) - 0x20000; };
            const bool wild = trial % 4 == 0;
            const SpanCase span{static_cast<int32_t>(1 + random() % kLongest), any(),
                                wild ? any() : small(), any(), wild ? any() : small()};
            ASSERT_EQ(Drawn(TexelRunVector, level, offset, span),
                      Drawn(TexelRunPortable, level, offset, span))
                << "shift " << shift << ", " << span.count << " pixels from u " << span.u
                << " step " << span.du << ", v " << span.v << " step " << span.dv;
        }
    }
    EXPECT_FALSE(TexelRunVectorFits(TexelOffset(8)));
}
