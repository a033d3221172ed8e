// Which pixels a triangle covers: the half-open rules, shared edges, vertex
// order, back faces, clipping at the frame's borders and hostile coordinates.
#include "render/renderer.h"
#include "render_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

// Top row and left column drawn, bottom row and right column not; flat
// triangles take the first vertex's colour.
TEST(Coverage, HalfOpenRowsAndColumns) {
    Frame frame(240, 240);
    Draw(frame, Vertex(Fx(2), Fx(9), 0xFF0000), Vertex(Fx(2), Fx(3), 0xFF00),
         Vertex(Fx(12), Fx(3), 0xFF));
    const struct {
        int32_t x, y;
        uint16_t pixel;
    } corners[] = {{2, 3, 0xF800},       {11, 3, 0xF800},     {2, 8, 0xF800},
                   {12, 3, kBackground}, {2, 2, kBackground}, {1, 3, kBackground},
                   {2, 9, kBackground}};
    for (const auto& corner : corners)
        EXPECT_EQ(frame.At(corner.x, corner.y), corner.pixel) << corner.x << "," << corner.y;

    // A vertex at y = 10.5 starts on row 10; a bottom at y = 20.0 ends on 19.
    Draw(frame, Vertex(Fx(40), Fx(10.5)), Vertex(Fx(60), Fx(10.5)), Vertex(Fx(50), Fx(20)));
    for (int32_t y = 8; y < 22; ++y)
        EXPECT_EQ(frame.Drawn(50, y), y >= 10 && y < 20) << "row " << y;
    Draw(frame, Vertex(0, 0), Vertex(Fx(10), 0), Vertex(Fx(5), Fx(10))); // rows 0 to 9
    for (int32_t i = 0; i < 12; ++i) {
        EXPECT_EQ(frame.Drawn(4, i), i < 10) << "row " << i;
        EXPECT_EQ(frame.Drawn(i, 0), i < 10) << "column " << i;
    }
}

// Counter-clockwise, collinear, within one row, above or below the frame:
// nothing. The face sign is exact where 32 bits are and keeps its sign beyond.
TEST(Coverage, FrontFacesOnly) {
    Frame frame(240, 240);
    const ScreenVertex v[3] = {Vertex(0, 0), Vertex(Fx(10), 0), Vertex(Fx(5), Fx(10))};
    EXPECT_EQ(Renderer::FaceSign(v, 0, 1, 2), Fx(100));
    EXPECT_EQ(Renderer::FaceSign(v, 0, 2, 1), Fx(-100));
    const ScreenVertex nothing[][3] = {
        {v[0], v[2], v[1]},
        {Vertex(Fx(1), Fx(1)), Vertex(Fx(50), Fx(50)), Vertex(Fx(100), Fx(100))},
        {Vertex(Fx(10), Fx(5.1)), Vertex(Fx(90), Fx(5.2)), Vertex(Fx(40), Fx(5.9))},
        {Vertex(Fx(10), Fx(-30)), Vertex(Fx(90), Fx(-30)), Vertex(Fx(40), Fx(-0.5))},
        {Vertex(Fx(10), Fx(240)), Vertex(Fx(90), Fx(240)), Vertex(Fx(40), Fx(300))}};
    for (const auto& t : nothing) {
        Draw(frame, t[0], t[1], t[2]);
        EXPECT_EQ(frame.CountDrawn(), 0) << t[0].x << "," << t[0].y;
    }
    const ScreenVertex large[3] = {Vertex(Fx(-100), Fx(-100)), Vertex(Fx(400), Fx(-100)),
                                   Vertex(Fx(-100), Fx(400))};
    EXPECT_GT(Renderer::FaceSign(large, 0, 1, 2), 0);
    EXPECT_LT(Renderer::FaceSign(large, 0, 2, 1), 0);
    Draw(frame, large[0], large[1], large[2]);
    EXPECT_TRUE(frame.Drawn(0, 0));
    EXPECT_TRUE(frame.Drawn(239, 0));
    EXPECT_TRUE(frame.Drawn(0, 239));
    std::mt19937 random(3);
    for (int trial = 0; trial < 2000; ++trial) {
        const auto w = RandomTriangle(random, Fx(-60), Fx(60));
        ASSERT_EQ(Renderer::FaceSign(w.data(), 0, 1, 2),
                  FixMul(w[1].x - w[0].x, w[2].y - w[0].y) -
                      FixMul(w[1].y - w[0].y, w[2].x - w[0].x));
    }
}

// A sliver clockwise on the screen but thinner than the face sign's products
// see (its corners' rows differ by less than 1/256) has a face sign of 0: it
// is not drawn, though it crosses from row 9 into row 10 across 20 columns.
TEST(Coverage, ASliverOfFaceSignZeroIsNotDrawn) {
    Frame frame(240, 240);
    const ScreenVertex sliver[3] = {Vertex(0, Fx(10) - 100), Vertex(Fx(20), Fx(10) - 100),
                                    Vertex(Fx(10), Fx(10) + 100)};
    ASSERT_EQ(Renderer::FaceSign(sliver, 0, 1, 2), 0);
    Draw(frame, sliver[0], sliver[1], sliver[2]);
    EXPECT_EQ(frame.CountDrawn(), 0);
}

// Each pixel of the union is covered once; each row of it is one run.
TEST(Coverage, FanAroundAPointCoversEachPixelOnce) {
    Frame frame(240, 240);
    for (double dx : {0.0, 0.25, 0.5, 0.71, 0.999}) {
        for (double dy : {0.0, 0.25, 0.5, 0.71, 0.999}) {
            std::vector<ScreenVertex> v{Vertex(Fx(120 + dx), Fx(118 + dy))};
            for (int k = 0; k < 11; ++k) { // an irregular 11-gon around it
                const double a = 2 * M_PI * (k + 0.3 * std::sin(3.0 * k + dy)) / 11,
                             r = 60 + 0.37 * k;
                v.push_back(Vertex(Fx(120 + dx + r * std::cos(a)), Fx(118 + dy + r * std::sin(a))));
            }
            std::vector<int> count(frame.pixels.size(), 0);
            for (int k = 1; k <= 11; ++k) {
                ASSERT_GT(Renderer::FaceSign(v.data(), 0, k, k % 11 + 1), 0);
                const auto& pixels = Draw(frame, v[0], v[k], v[k % 11 + 1]);
                for (size_t p = 0; p < pixels.size(); ++p)
                    count[p] += pixels[p] != kBackground;
            }
            int covered = 0;
            for (size_t row = 0; row < 240; ++row) {
                int runs = 0;
                for (size_t p = row * 240; p < row * 240 + 240; ++p) {
                    ASSERT_LE(count[p], 1)
                        << p % 240 << "," << row << " offsets " << dx << "," << dy;
                    covered += count[p];
                    runs += count[p] == 1 && (p % 240 == 0 || count[p - 1] == 0);
                }
                ASSERT_LE(runs, 1) << "row " << row << " offsets " << dx << "," << dy;
            }
            EXPECT_GT(covered, 8000);
        }
    }
}

// Inside the frame, what the triangle moved into a larger frame draws there:
// clipped edges and spans carry the values walked from the vertex. Shaded,
// the same pixels whichever vertex comes first, ties in y included.
TEST(Coverage, ClippingAndVertexOrderKeepInterpolatedValues) {
    Frame small(240, 240), large(320, 320);
    TestTexture texture(64, 64, 4, Numbered);
    std::mt19937 random(11);
    const auto moved = [](ScreenVertex v) {
        return Vertex(v.x + Fx(40), v.y + Fx(40), v.color, v.u, v.v);
    };
    for (int mode = 0; mode < 4; ++mode) {
        int clipped = 0;
        for (Frame* frame : {&small, &large}) {
            frame->renderer->SetShading(mode & 1);
            frame->renderer->SetTexture(mode & 2 ? texture.get() : nullptr);
        }
        for (int trial = 0; trial < 150; ++trial) {
            auto v = RandomTriangle(random, Fx(-40), Fx(279.99));
            if (trial % 4 < 3) v[trial % 4].y = v[(trial + 1) % 4 % 3].y; // a flat top or bottom
            if (Renderer::FaceSign(v.data(), 0, 1, 2) <= 0) std::swap(v[1], v[2]);
            Draw(large, moved(v[0]), moved(v[1]), moved(v[2]));
            const std::vector<uint16_t> first = Draw(small, v[0], v[1], v[2]);
            small.Expect([&](int32_t x, int32_t y) { return large.At(x + 40, y + 40); });
            clipped += large.CountDrawn() > small.CountDrawn();
            if (mode & 1) { // the flat and textured fillers take the first vertex's colour
                ASSERT_EQ(Draw(small, v[1], v[2], v[0]), first) << "trial " << trial;
                ASSERT_EQ(Draw(small, v[2], v[0], v[1]), first) << "trial " << trial;
            }
        }
        EXPECT_GT(clipped, 40) << "mode " << mode; // most trials really were clipped
    }
}

// Nothing is written outside the frame (the sanitizer build watches it) or
// the renderer's tables; a frame taller than the 320-row tables ends at 319.
TEST(Coverage, WildCoordinatesStayInsideTheFrameAndTheTables) {
    Frame frame(240, 240), tall(240, 400);
    Renderer& renderer = *frame.renderer;
    TestTexture texture(64, 64, 4, Numbered);
    const std::vector<uint16_t> ramp(renderer.shadeRamp, renderer.shadeRamp + 64);
    std::mt19937 random(5);
    for (int trial = 0; trial < 2400; ++trial) {
        renderer.SetShading(trial & 1);
        renderer.SetTexture(trial & 2 ? texture.get() : nullptr);
        auto v = RandomTriangle(random, Fx(-400), Fx(640));
        for (auto& vertex : v) {
            vertex.u = static_cast<Fixed>(random());
            vertex.v = static_cast<Fixed>(random());
            vertex.x = trial & 4 ? static_cast<Fixed>(random()) : vertex.x;
            vertex.y = trial & 4 ? static_cast<Fixed>(random()) : vertex.y;
        }
        const uint16_t bothWindings[6] = {0, 1, 2, 0, 2, 1};
        renderer.DrawTriangles(v.data(), bothWindings, 6);
    }
    EXPECT_EQ(std::vector<uint16_t>(renderer.shadeRamp, renderer.shadeRamp + 64), ramp);
    EXPECT_EQ(renderer.texture, texture.get());
    EXPECT_GT(frame.CountDrawn(), 0);
    tall.renderer->SetShading(true);
    Draw(tall, Vertex(Fx(10), Fx(-5), 0xFF), Vertex(Fx(200), Fx(390), 0xFF),
         Vertex(Fx(5), Fx(395), 0xFF));
    EXPECT_TRUE(tall.Drawn(10, 319));
    EXPECT_EQ(std::vector<uint16_t>(tall.renderer->shadeRamp, tall.renderer->shadeRamp + 64), ramp);
    EXPECT_EQ(std::count(tall.pixels.begin() + 320 * 240, tall.pixels.end(), kBackground),
              80 * 240);
}
