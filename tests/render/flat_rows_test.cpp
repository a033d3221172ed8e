// The flat filler's rows (render/span.cpp): a triangle whose rows lie within
// the frame is drawn without clipping, any other clipped; either way the rows
// are those the edge tables give, for triangles inside, at and just past every
// side of a frame of odd width, and nothing outside the frame is touched; in
// the portable rows and in FillRows as built for each instruction set.
#include "render/span.h"
#include "render/stages.h"
#include "render_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

enum class Rows { kPortable, kSse2, kAvx };

void ExpectRowsDrawWhatTheEdgeTablesDraw(Rows routine) {
    constexpr int32_t kWidth = 37, kHeight = 23;
    Frame rows(kWidth, kHeight), tables(kWidth, kHeight);
    Renderer& reference = *tables.renderer;
    std::mt19937 random(5);
    for (int trial = 0; trial < 3000; ++trial) {
        std::array<ScreenVertex, 3> v = RandomTriangle(random, Fx(-2), Fx(kWidth + 2));
        std::sort(v.begin(), v.end(),
                  [](const ScreenVertex& a, const ScreenVertex& b) { return a.y < b.y; });
        TriangleRows t;
        if (!FindTriangleRows(&v[0], &v[1], &v[2], kHeight, &t)) continue;
        const int32_t endRow = std::min(v[2].y >> 16, kHeight);
        const bool longIsLeft = trial % 2 == 0;
        const FlatFill fill(*rows.renderer, v[0].color);
        uint16_t* const first = rows.pixels.data() + t.startRow * kWidth;
        if (routine == Rows::kPortable) {
            if (longIsLeft) {
                FillRowsPortable<FlatFill, true>(fill, first, kWidth, t);
            } else {
                FillRowsPortable<FlatFill, false>(fill, first, kWidth, t);
            }
        } else if (longIsLeft) {
            FillRows<FlatFill, true>(fill, first, kWidth, t);
        } else {
            FillRows<FlatFill, false>(fill, first, kWidth, t);
        }
        EdgeEntry* const longSide = longIsLeft ? reference.leftEdges : reference.rightEdges;
        EdgeEntry* const shortSide = longIsLeft ? reference.rightEdges : reference.leftEdges;
        WalkEdge(&reference, &v[0], &v[2], longSide);
        WalkEdge(&reference, &v[0], &v[1], shortSide);
        WalkEdge(&reference, &v[1], &v[2], shortSide);
        FillFlat(&reference, t.startRow, endRow, v[0].color);
        ASSERT_EQ(rows.pixels, tables.pixels) << "trial " << trial;
    }
    EXPECT_GT(rows.CountDrawn(), kWidth * kHeight * 9 / 10);
}

// Puts FillRows back on the instructions it chose at start-up.
struct FlatRowsInstructions : testing::Test {
    ~FlatRowsInstructions() override { UseRowsAvx(true); }
};

} // namespace

TEST(FlatRows, PortableRowsDrawWhatTheEdgeTablesDraw) {
    ExpectRowsDrawWhatTheEdgeTablesDraw(Rows::kPortable);
}

TEST_F(FlatRowsInstructions, Sse2RowsDrawWhatTheEdgeTablesDraw) {
    EXPECT_FALSE(UseRowsAvx(false));
    ExpectRowsDrawWhatTheEdgeTablesDraw(Rows::kSse2);
}

TEST_F(FlatRowsInstructions, AvxRowsDrawWhatTheEdgeTablesDraw) {
    if (!UseRowsAvx(true)) GTEST_SKIP() << "no AVX rows in this build or on this processor";
    ExpectRowsDrawWhatTheEdgeTablesDraw(Rows::kAvx);
}
