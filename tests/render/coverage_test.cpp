// Which pixels a triangle covers: the half-open rules, shared edges, vertex
// order, back faces, clipping at the frame's borders and hostile coordinates.
#include "render/renderer.h"
#include "render_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

void UseMode(Renderer& renderer, bool shaded, Texture* texture) {
    renderer.BuildShadeRamp(0xFFFFFF);
    renderer.SetShading(shaded);
    renderer.SetTexture(texture); // null leaves the textured mode
}

TEST(Coverage, HalfOpenRowsAndColumns) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    UseMode(*renderer, false, nullptr);
    // A right triangle with whole-number corners: rows 3..8, columns from 2.
    DrawOne(*renderer, Vertex(Fx(2), Fx(3)), Vertex(Fx(12), Fx(3)), Vertex(Fx(2), Fx(9)));
    EXPECT_TRUE(frame.Drawn(2, 3));   // top row and left column drawn
    EXPECT_TRUE(frame.Drawn(11, 3));  // last column before the right end
    EXPECT_FALSE(frame.Drawn(12, 3)); // right end excluded
    EXPECT_FALSE(frame.Drawn(2, 2));
    EXPECT_FALSE(frame.Drawn(1, 3));
    EXPECT_TRUE(frame.Drawn(2, 8));  // last row
    EXPECT_FALSE(frame.Drawn(2, 9)); // bottom row excluded

    // A top at y = 10.5 starts on row 10; a bottom at y = 20.0 ends on 19.
    frame.Clear();
    DrawOne(*renderer, Vertex(Fx(40), Fx(10.5)), Vertex(Fx(60), Fx(10.5)), Vertex(Fx(50), Fx(20)));
    EXPECT_TRUE(frame.Drawn(50, 10));
    EXPECT_FALSE(frame.Drawn(50, 9));
    EXPECT_TRUE(frame.Drawn(50, 19));
    EXPECT_FALSE(frame.Drawn(50, 20));

    // The flat-topped example: rows 0 to 9 exactly.
    frame.Clear();
    DrawOne(*renderer, Vertex(0, 0), Vertex(Fx(10), 0), Vertex(Fx(5), Fx(10)));
    for (int32_t y = 0; y < 12; ++y) {
        bool any = false;
        for (int32_t x = 0; x < 12; ++x)
            any = any || frame.Drawn(x, y);
        EXPECT_EQ(any, y < 10) << "row " << y;
    }
    for (int32_t x = 0; x < 12; ++x)
        EXPECT_EQ(frame.Drawn(x, 0), x < 10) << "column " << x;
}

// Triangles around one point share their edges: every pixel of the union is
// covered once, and every row of the union is one unbroken run. A second
// triangulation of the same convex polygon (a fan from its first corner)
// covers the same pixels, since both walk the same outline.
TEST(Coverage, FanAroundAPointCoversEachPixelOnce) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    UseMode(*renderer, false, nullptr);
    const double offsets[] = {0.0, 0.25, 0.5, 0.71, 0.999};
    const int kCorners = 11;
    for (double dx : offsets) {
        for (double dy : offsets) {
            std::vector<ScreenVertex> v;
            v.push_back(Vertex(Fx(120.0 + dx), Fx(118.0 + dy)));
            for (int k = 0; k < kCorners; ++k) {
                const double angle = 2.0 * M_PI * (k + 0.3 * std::sin(3.0 * k + dy)) / kCorners;
                const double radius = 60.0 + 0.37 * k;
                v.push_back(Vertex(Fx(120.0 + dx + radius * std::cos(angle)),
                                   Fx(118.0 + dy + radius * std::sin(angle))));
            }
            std::vector<int> centreCount(frame.pixels.size(), 0);
            std::vector<int> cornerCount(frame.pixels.size(), 0);
            for (int k = 0; k < kCorners; ++k) {
                const uint16_t tri[3] = {0, static_cast<uint16_t>(1 + k),
                                         static_cast<uint16_t>(1 + (k + 1) % kCorners)};
                ASSERT_GT(Renderer::FaceSign(v.data(), tri[0], tri[1], tri[2]), 0);
                frame.Clear();
                renderer->DrawTriangles(v.data(), tri, 3);
                for (size_t p = 0; p < frame.pixels.size(); ++p) {
                    centreCount[p] += frame.pixels[p] != kBackground;
                }
            }
            for (int k = 1; k + 1 < kCorners; ++k) {
                const uint16_t tri[3] = {1, static_cast<uint16_t>(1 + k),
                                         static_cast<uint16_t>(2 + k)};
                frame.Clear();
                renderer->DrawTriangles(v.data(), tri, 3);
                for (size_t p = 0; p < frame.pixels.size(); ++p) {
                    cornerCount[p] += frame.pixels[p] != kBackground;
                }
            }
            int covered = 0;
            for (int32_t y = 0; y < 240; ++y) {
                int runs = 0;
                for (int32_t x = 0; x < 240; ++x) {
                    const size_t p = static_cast<size_t>(y * 240 + x);
                    ASSERT_LE(centreCount[p], 1) << x << "," << y << " offsets " << dx << "," << dy;
                    ASSERT_LE(cornerCount[p], 1) << x << "," << y << " offsets " << dx << "," << dy;
                    ASSERT_EQ(centreCount[p], cornerCount[p]) << x << "," << y;
                    covered += centreCount[p];
                    if (centreCount[p] == 1 && (x == 0 || centreCount[p - 1] == 0)) ++runs;
                }
                ASSERT_LE(runs, 1) << "row " << y;
            }
            EXPECT_GT(covered, 8000);
        }
    }
}

// The same triangle, whichever vertex comes first, walks the same edges: the
// same pixels with the same interpolated values. Ties in y included.
TEST(Coverage, RotatedVertexOrderDrawsTheSame) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    auto texture = MakeNumberedTexture();
    UseMode(*renderer, true, texture->get());
    std::mt19937 random(7);
    std::uniform_int_distribution<Fixed> coordinate(Fx(-30), Fx(270));
    std::uniform_int_distribution<Fixed> unit(0, 0xFFFF);
    std::uniform_int_distribution<uint32_t> color(0, 0xFFFFFF);
    for (int trial = 0; trial < 300; ++trial) {
        ScreenVertex v[3];
        for (auto& vertex : v) {
            vertex = Vertex(coordinate(random), coordinate(random), color(random), unit(random),
                            unit(random));
        }
        if (trial % 3 == 1) v[1].y = v[0].y; // a flat top or bottom
        if (trial % 3 == 2) v[2].y = v[1].y;
        if (Renderer::FaceSign(v, 0, 1, 2) <= 0) std::swap(v[1], v[2]);
        frame.Clear();
        DrawOne(*renderer, v[0], v[1], v[2]);
        const std::vector<uint16_t> first = frame.pixels;
        frame.Clear();
        DrawOne(*renderer, v[1], v[2], v[0]);
        ASSERT_EQ(frame.pixels, first) << "trial " << trial;
        frame.Clear();
        DrawOne(*renderer, v[2], v[0], v[1]);
        ASSERT_EQ(frame.pixels, first) << "trial " << trial;
    }
}

TEST(Coverage, BackFacesAndDegenerateTrianglesDrawNothing) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    UseMode(*renderer, false, nullptr);
    const ScreenVertex a = Vertex(0, 0), b = Vertex(Fx(10), 0), c = Vertex(0, Fx(10));
    const ScreenVertex v[3] = {a, b, c};
    EXPECT_EQ(Renderer::FaceSign(v, 0, 1, 2), Fx(100));
    EXPECT_EQ(Renderer::FaceSign(v, 0, 2, 1), Fx(-100));
    DrawOne(*renderer, a, c, b); // counter-clockwise
    EXPECT_EQ(frame.CountDrawn(), 0);
    DrawOne(*renderer, Vertex(Fx(1), Fx(1)), Vertex(Fx(50), Fx(50)), Vertex(Fx(100), Fx(100)));
    EXPECT_EQ(frame.CountDrawn(), 0); // collinear
    // Three vertices within one pixel row.
    DrawOne(*renderer, Vertex(Fx(10), Fx(5.1)), Vertex(Fx(90), Fx(5.2)), Vertex(Fx(40), Fx(5.9)));
    EXPECT_EQ(frame.CountDrawn(), 0);
    // Entirely above row 0, entirely at or below the last row.
    DrawOne(*renderer, Vertex(Fx(10), Fx(-30)), Vertex(Fx(90), Fx(-30)), Vertex(Fx(40), Fx(-0.5)));
    DrawOne(*renderer, Vertex(Fx(10), Fx(240)), Vertex(Fx(90), Fx(240)), Vertex(Fx(40), Fx(300)));
    EXPECT_EQ(frame.CountDrawn(), 0);
    DrawOne(*renderer, a, b, c);
    EXPECT_GT(frame.CountDrawn(), 0);
}

// A triangle hanging over the frame's borders draws, inside the frame, exactly
// what it draws when moved whole into a larger frame: edges and spans clipped
// at any side carry the values they would have had walked from the vertex.
TEST(Coverage, ClippingAtTheFourBordersKeepsInterpolatedValues) {
    Frame small(240, 240);
    Frame large(320, 320);
    auto smallRenderer = MakeRenderer(small);
    auto largeRenderer = MakeRenderer(large);
    auto texture = MakeNumberedTexture();
    std::mt19937 random(11);
    std::uniform_int_distribution<Fixed> coordinate(Fx(-40), Fx(279.99));
    std::uniform_int_distribution<Fixed> unit(0, 0xFFFF);
    std::uniform_int_distribution<uint32_t> color(0, 0xFFFFFF);
    const Fixed shift = Fx(40);
    for (int shaded = 0; shaded < 2; ++shaded) {
        for (Renderer* renderer : {smallRenderer.get(), largeRenderer.get()}) {
            UseMode(*renderer, shaded != 0, shaded ? texture->get() : nullptr);
        }
        int clipped = 0;
        for (int trial = 0; trial < 150; ++trial) {
            ScreenVertex v[3];
            for (auto& vertex : v) {
                vertex = Vertex(coordinate(random), coordinate(random), color(random), unit(random),
                                unit(random));
            }
            if (Renderer::FaceSign(v, 0, 1, 2) <= 0) std::swap(v[1], v[2]);
            ScreenVertex moved[3];
            for (int k = 0; k < 3; ++k) {
                moved[k] = v[k];
                moved[k].x += shift;
                moved[k].y += shift;
            }
            small.Clear();
            large.Clear();
            DrawOne(*smallRenderer, v[0], v[1], v[2]);
            DrawOne(*largeRenderer, moved[0], moved[1], moved[2]);
            for (int32_t y = 0; y < 240; ++y) {
                const auto smallRow = small.pixels.begin() + y * 240;
                const auto largeRow = large.pixels.begin() + (y + 40) * 320 + 40;
                ASSERT_TRUE(std::equal(smallRow, smallRow + 240, largeRow))
                    << "trial " << trial << " row " << y;
            }
            clipped += large.CountDrawn() > small.CountDrawn();
        }
        EXPECT_GT(clipped, 50); // most trials really were clipped
    }
}

// Triangles wider than about 181 pixels both ways overflow a 32-bit face
// sign; the wide one keeps the sign and matches it wherever it is exact.
TEST(Coverage, FaceSignOfLargeTriangles) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    UseMode(*renderer, false, nullptr);
    const ScreenVertex v[3] = {Vertex(Fx(-100), Fx(-100)), Vertex(Fx(400), Fx(-100)),
                               Vertex(Fx(-100), Fx(400))};
    EXPECT_GT(Renderer::FaceSign(v, 0, 1, 2), 0);
    EXPECT_LT(Renderer::FaceSign(v, 0, 2, 1), 0);
    DrawOne(*renderer, v[0], v[1], v[2]);
    EXPECT_TRUE(frame.Drawn(0, 0));
    EXPECT_TRUE(frame.Drawn(239, 0));
    EXPECT_TRUE(frame.Drawn(0, 239));

    std::mt19937 random(3);
    std::uniform_int_distribution<Fixed> coordinate(Fx(-60), Fx(60));
    for (int trial = 0; trial < 2000; ++trial) {
        ScreenVertex w[3];
        for (auto& vertex : w)
            vertex = Vertex(coordinate(random), coordinate(random));
        const Fixed narrow =
            FixMul(w[1].x - w[0].x, w[2].y - w[0].y) - FixMul(w[1].y - w[0].y, w[2].x - w[0].x);
        ASSERT_EQ(Renderer::FaceSign(w, 0, 1, 2), narrow);
    }
}

// Coordinates anywhere in the Fixed range, texture coordinates anywhere, in
// every mode: nothing is written outside the frame (the sanitizer build
// watches the frame buffer), and the renderer's own tables stay intact.
TEST(Coverage, WildCoordinatesStayInsideTheFrame) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    auto texture = MakeNumberedTexture();
    renderer->BuildShadeRamp(0xFFFFFF);
    const std::vector<uint16_t> ramp(renderer->shadeRamp, renderer->shadeRamp + 64);
    std::mt19937 random(5);
    std::uniform_int_distribution<uint32_t> any;
    std::uniform_int_distribution<Fixed> near(Fx(-400), Fx(640));
    for (uint32_t mode = 0; mode < 4; ++mode) {
        renderer->SetShading((mode & 1) != 0);
        renderer->SetTexture((mode & 2) ? texture->get() : nullptr);
        for (int trial = 0; trial < 600; ++trial) {
            ScreenVertex v[3];
            for (auto& vertex : v) {
                const bool wild = (trial & 1) != 0;
                vertex = Vertex(wild ? static_cast<Fixed>(any(random)) : near(random),
                                wild ? static_cast<Fixed>(any(random)) : near(random), any(random),
                                static_cast<Fixed>(any(random)), static_cast<Fixed>(any(random)));
            }
            DrawOne(*renderer, v[0], v[1], v[2]);
            DrawOne(*renderer, v[0], v[2], v[1]);
        }
    }
    EXPECT_EQ(std::vector<uint16_t>(renderer->shadeRamp, renderer->shadeRamp + 64), ramp);
    EXPECT_EQ(renderer->texture, texture->get());
    EXPECT_GT(frame.CountDrawn(), 0);
}

// The edge tables hold 320 rows: a taller frame is drawn down to row 319 and
// no further, and nothing behind the tables is overwritten.
TEST(Coverage, FramesTallerThanTheEdgeTables) {
    Frame frame(240, 400);
    auto renderer = MakeRenderer(frame);
    UseMode(*renderer, true, nullptr);
    const std::vector<uint16_t> ramp(renderer->shadeRamp, renderer->shadeRamp + 64);
    DrawOne(*renderer, Vertex(Fx(10), Fx(-5), 0xFF), Vertex(Fx(200), Fx(390), 0xFF),
            Vertex(Fx(5), Fx(395), 0xFF));
    EXPECT_TRUE(frame.Drawn(10, 319));
    for (int32_t y = 320; y < 400; ++y) {
        for (int32_t x = 0; x < 240; ++x)
            ASSERT_FALSE(frame.Drawn(x, y));
    }
    EXPECT_EQ(std::vector<uint16_t>(renderer->shadeRamp, renderer->shadeRamp + 64), ramp);
}

} // namespace
