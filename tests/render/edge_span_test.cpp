// The numbers of the edge walk and the span fillers: steps, clipping at the
// top and at the frame's columns, the shade ramp and texture addressing.
#include "render/edge.h"
#include "render/renderer.h"
#include "render_test_util.h"

#include <gtest/gtest.h>

namespace {

TEST(EdgeWalk, StepsTruncateTowardZero) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    EdgeEntry* table = renderer->leftEdges;
    const ScreenVertex top = Vertex(0, 0), bottom = Vertex(Fx(10), Fx(3));
    WalkEdge(renderer.get(), &top, &bottom, table);
    EXPECT_EQ(table[0].x, 0);
    EXPECT_EQ(table[1].x, 218453);
    EXPECT_EQ(table[2].x, 436906);

    table[3].x = 12345; // the bottom vertex's row is not written
    const ScreenVertex top2 = Vertex(Fx(10), 0), bottom2 = Vertex(0, Fx(3));
    WalkEdge(renderer.get(), &top2, &bottom2, table);
    EXPECT_EQ(table[0].x, 655360);
    EXPECT_EQ(table[1].x, 436907);
    EXPECT_EQ(table[2].x, 218454);
    EXPECT_EQ(table[3].x, 12345);
}

TEST(EdgeWalk, CarriedQuantitiesAndTopClipping) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    EdgeEntry* table = renderer->rightEdges;
    // From y = -5.0 to y = 5.0: rows 0 to 4, the first five steps along.
    const ScreenVertex p = Vertex(0, Fx(-5), 0x00, 0, Fx(0.5));
    const ScreenVertex q = Vertex(Fx(10), Fx(5), 0xFF, Fx(0.75), 0);
    for (auto& entry : renderer->rightEdges)
        entry = EdgeEntry{-1, -1, -1, -1};
    WalkEdgeTexturedShaded(renderer.get(), &p, &q, table);
    const Fixed xStep = Fx(10) / 10, iStep = (0xFF << 16) / 10;
    const Fixed uStep = Fx(0.75) / 10, vStep = (0 - Fx(0.5)) / 10;
    for (int32_t row = 0; row < 5; ++row) {
        EXPECT_EQ(table[row].x, (row + 5) * xStep) << row;
        EXPECT_EQ(table[row].intensity, (row + 5) * iStep) << row;
        EXPECT_EQ(table[row].u, (row + 5) * uStep) << row;
        EXPECT_EQ(table[row].v, Fx(0.5) + (row + 5) * vStep) << row;
    }
    EXPECT_EQ(table[5].x, -1);

    // The flat walker writes x alone; the other fields keep what they held.
    WalkEdge(renderer.get(), &p, &q, table);
    EXPECT_EQ(table[0].x, 5 * xStep);
    EXPECT_EQ(table[0].intensity, 5 * iStep);
    for (auto& entry : renderer->rightEdges)
        entry = EdgeEntry{-1, -1, -1, -1};
    WalkEdgeShaded(renderer.get(), &p, &q, table);
    EXPECT_EQ(table[0].intensity, 5 * iStep);
    EXPECT_EQ(table[0].u, -1);
    WalkEdgeTextured(renderer.get(), &p, &q, table);
    EXPECT_EQ(table[0].u, 5 * uStep);

    // Edges below the frame, above it, or within one row write nothing; the
    // bottom is clipped at the frame's last row.
    for (auto& entry : renderer->rightEdges)
        entry = EdgeEntry{-1, -1, -1, -1};
    const ScreenVertex below = Vertex(0, Fx(240)), further = Vertex(0, Fx(250));
    const ScreenVertex above = Vertex(0, Fx(-9)), justAbove = Vertex(0, Fx(-0.01));
    const ScreenVertex a = Vertex(0, Fx(7.2)), b = Vertex(Fx(3), Fx(7.9));
    WalkEdge(renderer.get(), &below, &further, table);
    WalkEdge(renderer.get(), &above, &justAbove, table);
    WalkEdge(renderer.get(), &a, &b, table);
    for (const auto& entry : renderer->rightEdges)
        ASSERT_EQ(entry.x, -1);
    const ScreenVertex low = Vertex(0, Fx(230)), beyond = Vertex(0, Fx(300));
    WalkEdge(renderer.get(), &low, &beyond, table);
    EXPECT_EQ(table[239].x, 0);
    EXPECT_EQ(table[240].x, -1); // nothing past the frame's last row
    const ScreenVertex justBelow = Vertex(Fx(1), Fx(241));
    WalkEdge(renderer.get(), &low, &justBelow, table);
    EXPECT_EQ(table[239].x, Fx(1) / 11 * 9);
    EXPECT_EQ(table[240].x, -1);
}

TEST(EdgeWalk, FlatToppedTriangleFillsTheTables) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    for (auto& entry : renderer->leftEdges)
        entry.x = -1;
    for (auto& entry : renderer->rightEdges)
        entry.x = -1;
    renderer->SetShading(false);
    renderer->SetTexture(nullptr);
    const ScreenVertex a = Vertex(0, 0), b = Vertex(Fx(10), 0), c = Vertex(Fx(5), Fx(10));
    DrawTriangleFlat(renderer.get(), &a, &b, &c);
    for (int32_t row = 0; row < 10; ++row) {
        EXPECT_EQ(renderer->leftEdges[row].x, row * (Fx(5) / 10));            // A->C
        EXPECT_EQ(renderer->rightEdges[row].x, Fx(10) + row * (-Fx(5) / 10)); // B->C
    }
    EXPECT_EQ(renderer->leftEdges[10].x, -1);
}

// Span rules, drawn through the fillers on hand-set edge entries.
class Spans : public ::testing::Test {
  protected:
    Spans() : frame(240, 4), renderer(MakeRenderer(frame)) { renderer->BuildShadeRamp(0xFFFFFF); }
    void SetRow(int32_t row, Fixed left, Fixed right, Fixed leftI = 0, Fixed rightI = 0) {
        renderer->leftEdges[row] = EdgeEntry{left, leftI, 0, 0};
        renderer->rightEdges[row] = EdgeEntry{right, rightI, 0, 0};
    }
    std::vector<int32_t> DrawnColumns(int32_t row) const {
        std::vector<int32_t> columns;
        for (int32_t x = 0; x < frame.Width(); ++x) {
            if (frame.Drawn(x, row)) columns.push_back(x);
        }
        return columns;
    }
    Frame frame;
    std::unique_ptr<Renderer> renderer;
};

TEST_F(Spans, ColumnsAreHalfOpenAndClipped) {
    SetRow(0, 0, Fx(0.99));
    SetRow(1, Fx(3), Fx(3.99));
    SetRow(2, Fx(3), Fx(4));
    SetRow(3, Fx(-10), Fx(10));
    FillFlat(renderer.get(), 0, 4, 0xFFFFFF);
    EXPECT_TRUE(DrawnColumns(0).empty());
    EXPECT_TRUE(DrawnColumns(1).empty());
    EXPECT_EQ(DrawnColumns(2), std::vector<int32_t>{3});
    EXPECT_EQ(DrawnColumns(3).size(), 10u);
    EXPECT_EQ(DrawnColumns(3).front(), 0);
    EXPECT_EQ(frame.At(0, 3), 0xFFFF);

    frame.Clear();
    SetRow(0, Fx(230), Fx(300));
    SetRow(1, Fx(-50), Fx(-1));
    SetRow(2, Fx(240), Fx(250));
    SetRow(3, Fx(20), Fx(10)); // right to left
    FillFlat(renderer.get(), -5, 99, 0xFFFFFF);
    EXPECT_EQ(DrawnColumns(0).size(), 10u);
    EXPECT_EQ(DrawnColumns(0).back(), 239);
    EXPECT_TRUE(DrawnColumns(1).empty());
    EXPECT_TRUE(DrawnColumns(2).empty());
    EXPECT_TRUE(DrawnColumns(3).empty());
}

TEST_F(Spans, ShadedSpanUsesTheRampAndClipsLikeTheEdge) {
    // 64 pixels from intensity 0 to 255: ramp entry 0 first, 62 last.
    SetRow(0, Fx(100), Fx(164), 0, 255 << 16);
    // Constant intensity 100: ramp entry 25.
    SetRow(1, Fx(10), Fx(20), 100 << 16, 100 << 16);
    // From -10 to 10: column 0 shows the value ten steps along.
    SetRow(2, Fx(-10), Fx(10), 0, 200 << 16);
    // Past the right border: steps unchanged, stops at column 239.
    SetRow(3, Fx(200), Fx(280), 0, 255 << 16);
    FillShaded(renderer.get(), 0, 4);
    EXPECT_EQ(frame.At(100, 0), renderer->shadeRamp[0]);
    EXPECT_EQ(frame.At(163, 0), renderer->shadeRamp[62]);
    EXPECT_FALSE(frame.Drawn(164, 0));
    EXPECT_EQ(frame.At(15, 1), renderer->shadeRamp[25]);
    const Fixed step = (200 << 16) / 20;
    EXPECT_EQ(frame.At(0, 2), renderer->shadeRamp[(10 * step) >> 18]);
    EXPECT_EQ(frame.At(9, 2), renderer->shadeRamp[(19 * step) >> 18]);
    EXPECT_FALSE(frame.Drawn(10, 2));
    const Fixed step3 = (255 << 16) / 80;
    EXPECT_EQ(frame.At(239, 3), renderer->shadeRamp[(39 * step3) >> 18]);
}

TEST(ColorHelpers, PackAndShadeRamp) {
    EXPECT_EQ(PackRgb565(0xFFFFFF), 0xFFFF);
    EXPECT_EQ(PackRgb565(0x808080), 0x8410);
    EXPECT_EQ(PackRgb565(0xFF0000), 0xF800);
    EXPECT_EQ(PackRgb565(0x50505050), 0x528A);

    Frame frame(8, 8);
    auto renderer = MakeRenderer(frame);
    renderer->BuildShadeRamp(0xFFFFFF);
    EXPECT_EQ(renderer->shadeRamp[0], 0x0000);
    EXPECT_EQ(renderer->shadeRamp[1], 0x0000);
    EXPECT_EQ(renderer->shadeRamp[2], 0x0020);
    EXPECT_EQ(renderer->shadeRamp[3], 0x0841);
    EXPECT_EQ(renderer->shadeRamp[32], 0x7BEF);
    EXPECT_EQ(renderer->shadeRamp[63], 0xFFDF);
    renderer->BuildShadeRamp(0xABFF0080);       // the top byte is ignored
    EXPECT_EQ(renderer->shadeRamp[63], 0xF80F); // red 31, green 0, blue (63*128)>>9 = 15
}

// Texture addressing through the fillers, on the numbered 64x64 texture of 16
// levels (a pixel is its own texel offset).
class TexturedSpans : public ::testing::Test {
  protected:
    TexturedSpans() : frame(64, 2), renderer(MakeRenderer(frame)), texture(MakeNumberedTexture()) {
        renderer->texture = texture->get();
    }
    void SetRow(int32_t row, Fixed left, Fixed right, Fixed intensity, Fixed u0, Fixed v0, Fixed u1,
                Fixed v1) {
        renderer->leftEdges[row] = EdgeEntry{left, intensity, u0, v0};
        renderer->rightEdges[row] = EdgeEntry{right, intensity, u1, v1};
    }
    Frame frame;
    std::unique_ptr<Renderer> renderer;
    std::unique_ptr<TestTexture> texture;
};

TEST_F(TexturedSpans, LevelsRowsAndColumns) {
    // Intensity 200, u = 0.5, v = 0.25: texel 50208 (level 12, row 16, column 32).
    SetRow(0, Fx(5), Fx(6), 200 << 16, Fx(0.5), Fx(0.25), Fx(0.5), Fx(0.25));
    FillTexturedShaded(renderer.get(), 0, 1);
    EXPECT_EQ(frame.At(5, 0), 50208);

    // One level for the whole triangle, chosen by the colour's low byte.
    SetRow(0, 0, Fx(64), 0, 0, Fx(0.5), Fx(1.0), Fx(0.5));
    FillTextured(renderer.get(), 0, 1, 0x50505050);
    for (int32_t x = 0; x < 64; ++x)
        ASSERT_EQ(frame.At(x, 0), 5 * 4096 + 32 * 64 + x);
    FillTextured(renderer.get(), 0, 1, 0xFFFFFF);
    EXPECT_EQ(frame.At(7, 0), 15 * 4096 + 32 * 64 + 7);

    // A one-level texture always reads level 0.
    TestTexture plain(64, 64, 0);
    for (size_t k = 0; k < plain.texels.size(); ++k)
        plain.texels[k] = static_cast<uint16_t>(k + 1);
    renderer->texture = plain.get();
    FillTextured(renderer.get(), 0, 1, 0xFFFFFF);
    EXPECT_EQ(frame.At(7, 0), 32 * 64 + 7 + 1);
}

// Coordinates of 1.0 and beyond, or below 0, wrap with the texture's width:
// they read the texel of their fraction and never leave the level block.
TEST_F(TexturedSpans, CoordinatesOutsideZeroToOneWrap) {
    SetRow(0, 0, Fx(64), 255 << 16, Fx(0.1), Fx(0.3), Fx(0.9), Fx(0.6));
    FillTexturedShaded(renderer.get(), 0, 1);
    const std::vector<uint16_t> inside(frame.pixels.begin(), frame.pixels.begin() + 64);
    for (Fixed offset : {Fx(1), Fx(-1), Fx(3), Fx(-7)}) {
        frame.Clear();
        SetRow(0, 0, Fx(64), 255 << 16, Fx(0.1) + offset, Fx(0.3) - offset, Fx(0.9) + offset,
               Fx(0.6) - offset);
        FillTexturedShaded(renderer.get(), 0, 1);
        ASSERT_EQ(std::vector<uint16_t>(frame.pixels.begin(), frame.pixels.begin() + 64), inside)
            << offset;
    }
    SetRow(0, 0, Fx(2), 0, Fx(1.0), Fx(1.0), Fx(1.0), Fx(1.0));
    FillTextured(renderer.get(), 0, 1, 0xFF);
    EXPECT_EQ(frame.At(0, 0), 15 * 4096); // u = v = 1.0 wraps to texel (0, 0)
}

// A texture that does not hold a square level block per level is not drawn
// on triangles (its reads would leave the texels).
TEST_F(TexturedSpans, TexturesThatDoNotFitAreNotDrawn) {
    SetRow(0, 0, Fx(64), 255 << 16, 0, Fx(0.9), Fx(0.9), Fx(0.9));
    TestTexture wide(64, 32, 4);
    TestTexture odd(48, 48, 0);
    TestTexture released(64, 64, 4);
    released.record.texelBlock = nullptr;
    for (TestTexture* t : {&wide, &odd, &released}) {
        renderer->texture = t->get();
        FillTexturedShaded(renderer.get(), 0, 1);
        FillTextured(renderer.get(), 0, 1, 0xFF);
        EXPECT_EQ(frame.CountDrawn(), 0);
    }
    renderer->texture = nullptr;
    FillTexturedShaded(renderer.get(), 0, 1);
    EXPECT_EQ(frame.CountDrawn(), 0);
}

} // namespace
