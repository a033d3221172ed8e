// The textured spans' two paths: the vector texel run (render/texel_run.h)
// writes exactly the pixels of the portable one, for every level side it
// serves, spans of every length from one pixel to past the frame's width, and
// coordinates and steps of every size, wrapping ones included, the pixels
// around a span staying as they were; and the textured filler's vector rows
// (render/span.cpp), in SSE2's instructions and in AVX's, draw the triangles
// the portable rows draw, clipped ones, ones at the frame's end and ones of
// every size included.
#include "render/span.h"
#include "render/texel_run.h"
#include "render_test_util.h"

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

namespace {

constexpr int32_t kWidth = 137;
constexpr int32_t kHeight = 91;

// One triangle (vertices sorted by y) drawn by FillRows into `vector` and by
// the portable rows into `portable`, its rows clipped to the frame's as
// triangle set-up clips them: a half wholly above or below the frame has a
// negative row count.
void DrawBoth(Frame& vector, Frame& portable, const std::array<ScreenVertex, 3>& v,
              bool longIsLeft) {
    TriangleRows rows;
    if (!FindTriangleRows(&v[0], &v[1], &v[2], kHeight, &rows)) return;
    const TexturedFill fill(*vector.renderer, v[0].color);
    const TexturedFill portableFill(*portable.renderer, v[0].color);
    uint16_t* const vectorRow = vector.pixels.data() + rows.startRow * kWidth;
    uint16_t* const portableRow = portable.pixels.data() + rows.startRow * kWidth;
    if (longIsLeft) {
        FillRows<TexturedFill, true>(fill, vectorRow, kWidth, rows);
        FillRowsPortable<TexturedFill, true>(portableFill, portableRow, kWidth, rows);
    } else {
        FillRows<TexturedFill, false>(fill, vectorRow, kWidth, rows);
        FillRowsPortable<TexturedFill, false>(portableFill, portableRow, kWidth, rows);
    }
}

// FillRows, whichever vector instructions it is set to, against the portable
// rows: first triangles whose last rows end in the frame's last pixels while
// one half lies outside the frame's rows (the vector path must then leave
// them to the portable one, or it reads and writes past the frame, which
// the address sanitizer reports), then random ones.
void ExpectVectorRowsDrawThePortableRows() {
    const auto at = [](double x, double y) {
        ScreenVertex v{};
        v.x = static_cast<Fixed>(x * 65536);
        v.y = static_cast<Fixed>(y * 65536);
        v.u = 0x4000;
        v.v = 0x8000;
        return v;
    };
    const std::array<ScreenVertex, 3> halfOutside[] = {
        {at(130.85, -64.9), at(135.65, 97.9), at(87.08, 141.9)},
        {at(60, -100), at(136.5, -10), at(136.9, 95)},
    };
    std::mt19937 random(21);
    const struct { int side, levelBits; } textures[] = {{4, 0}, {16, 4}, {128, 4}};
    for (const auto& shape : textures) {
        const int side = shape.side;
        Frame vector(kWidth, kHeight), portable(kWidth, kHeight);
        TestTexture texture(side, side, shape.levelBits,
                            [](uint32_t k) { return k * 40503u + 17; });
        vector.renderer->texture = texture.get();
        portable.renderer->texture = texture.get();
        for (const auto& v : halfOutside) {
            DrawBoth(vector, portable, v, true);
            ASSERT_EQ(vector.pixels, portable.pixels) << "side " << side;
        }
        for (int trial = 0; trial < 1500; ++trial) {
            const int32_t reach = trial % 8 == 0 ? 2000 : 150;
            std::array<ScreenVertex, 3> v = RandomTriangle(random, Fx(-reach / 2), Fx(reach));
            for (ScreenVertex& vertex : v) {
                if (trial % 4 == 0) vertex.u = static_cast<Fixed>(random());
                if (trial % 4 == 0) vertex.v = static_cast<Fixed>(random());
            }
            std::sort(v.begin(), v.end(),
                      [](const ScreenVertex& a, const ScreenVertex& b) { return a.y < b.y; });
            DrawBoth(vector, portable, v, trial % 2 == 0);
            ASSERT_EQ(vector.pixels, portable.pixels) << "side " << side << ", trial " << trial;
        }
        EXPECT_GT(vector.CountDrawn(), kWidth * kHeight / 2) << side;
    }
}

// Puts FillRows back on the instructions it chose at start-up.
struct RowsInstructions : testing::Test {
    ~RowsInstructions() override { UseRowsAvx(true); }
};

} // namespace

TEST_F(RowsInstructions, Sse2RowsDrawThePixelsOfThePortableRows) {
    if (!kRowsHaveVectorPath) GTEST_SKIP() << "this build has no vector path";
    EXPECT_FALSE(UseRowsAvx(false));
    ExpectVectorRowsDrawThePortableRows();
}

TEST_F(RowsInstructions, AvxRowsDrawThePixelsOfThePortableRows) {
    if (!UseRowsAvx(true)) GTEST_SKIP() << "no AVX rows in this build or on this processor";
    ExpectVectorRowsDrawThePortableRows();
}
