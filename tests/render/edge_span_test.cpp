// The numbers of the edge walk and the span fillers: steps, clipping at the
// frame's rows and columns, the shade ramp and texture addressing.
#include "render/stages.h"
#include "render_test_util.h"

#include <gtest/gtest.h>

namespace {

void Unwritten(EdgeEntry* table) {
    std::fill(table, table + kEdgeRows, EdgeEntry{-1, -1, -1, -1});
}

void SetRow(Renderer& renderer, int32_t row, EdgeEntry left, EdgeEntry right) {
    renderer.leftEdges[row] = left;
    renderer.rightEdges[row] = right;
}

} // namespace

// Steps truncate toward zero; the bottom row is not written; clipped rows
// keep the steps and values of the whole edge. Each walker writes its own
// quantities and leaves the others as they were.
TEST(EdgeWalk, StepsTruncateTowardZeroAndClipToTheFrame) {
    Frame frame(240, 240);
    EdgeEntry* table = frame.renderer->leftEdges;
    using Walker = void (*)(const Renderer*, const ScreenVertex*, const ScreenVertex*, EdgeEntry*);
    const auto walk = [&](ScreenVertex p, ScreenVertex q, Walker walker = WalkEdge) {
        walker(frame.renderer.get(), &p, &q, table);
    };
    Unwritten(table);
    walk(Vertex(0, 0), Vertex(Fx(10), Fx(3)));
    EXPECT_EQ((std::vector<Fixed>{table[0].x, table[1].x, table[2].x, table[3].x}),
              (std::vector<Fixed>{0, 218453, 436906, -1}));
    walk(Vertex(Fx(10), 0), Vertex(0, Fx(3)));
    EXPECT_EQ((std::vector<Fixed>{table[0].x, table[1].x, table[2].x}),
              (std::vector<Fixed>{655360, 436907, 218454}));
    walk(Vertex(0, Fx(230)), Vertex(Fx(1), Fx(241)));
    EXPECT_EQ(table[239].x, Fx(1) / 11 * 9);
    EXPECT_EQ(table[240].x, -1);

    const EdgeEntry step{Fx(10) / 10, (0xFF << 16) / 10, Fx(0.75) / 10, -Fx(0.5) / 10};
    const struct {
        Walker walker;
        bool shaded, textured;
    } walkers[] = {{WalkEdge, false, false},
                   {WalkEdgeShaded, true, false},
                   {WalkEdgeTextured, false, true},
                   {WalkEdgeTexturedShaded, true, true}};
    for (const auto& w : walkers) {
        Unwritten(table);
        walk(Vertex(0, Fx(-5), 0x00, 0, Fx(0.5)), Vertex(Fx(10), Fx(5), 0xFF, Fx(0.75), 0),
             w.walker);
        for (Fixed row = 0; row < 5; ++row) {
            EXPECT_EQ(table[row].x, (row + 5) * step.x) << row;
            EXPECT_EQ(table[row].intensity, w.shaded ? (row + 5) * step.intensity : -1) << row;
            EXPECT_EQ(table[row].u, w.textured ? (row + 5) * step.u : -1) << row;
            EXPECT_EQ(table[row].v, w.textured ? Fx(0.5) + (row + 5) * step.v : -1) << row;
        }
        EXPECT_EQ(table[5].x, -1);
    }
}

// Columns floor(left x) to floor(right x) - 1, clipped, stepping over the
// whole span; shaded pixels are ramp[intensity >> 18], ramp[k] k/64 of a colour.
TEST(Spans, AreHalfOpenClippedAndShadedFromTheRamp) {
    Frame frame(240, 12);
    Renderer& renderer = *frame.renderer;
    const struct {
        Fixed left, right;
        int32_t first, end; // the columns drawn
    } flat[] = {{0, Fx(0.99), 0, 0},      {Fx(3), Fx(3.99), 0, 0},      {Fx(3), Fx(4), 3, 4},
                {Fx(-10), Fx(10), 0, 10}, {Fx(230), Fx(300), 230, 240}, {Fx(-50), Fx(-1), 0, 0},
                {Fx(240), Fx(250), 0, 0}, {Fx(20), Fx(10), 0, 0}};
    for (int32_t row = 0; row < 8; ++row)
        SetRow(renderer, row, {flat[row].left, 0, 0, 0}, {flat[row].right, 0, 0, 0});
    SetRow(renderer, 8, {Fx(100), 0, 0, 0}, {Fx(164), 255 << 16, 0, 0});
    SetRow(renderer, 9, {Fx(10), 100 << 16, 0, 0}, {Fx(20), 100 << 16, 0, 0});
    SetRow(renderer, 10, {Fx(-10), 0, 0, 0}, {Fx(10), 200 << 16, 0, 0});
    SetRow(renderer, 11, {Fx(200), 0, 0, 0}, {Fx(280), 255 << 16, 0, 0});
    FillFlat(&renderer, -5, 8, 0xFFFFFF);
    FillShaded(&renderer, 8, 99);
    const uint16_t* ramp = renderer.shadeRamp;
    const Fixed step10 = (200 << 16) / 20, step11 = (255 << 16) / 80;
    frame.Expect([&](int32_t x, int32_t y) {
        if (y < 8) return x >= flat[y].first && x < flat[y].end ? uint16_t{0xFFFF} : kBackground;
        if (y == 8)
            return x >= 100 && x < 164 ? ramp[(x - 100) * ((255 << 16) / 64) >> 18] : kBackground;
        if (y == 9) return x >= 10 && x < 20 ? ramp[25] : kBackground;
        if (y == 10) return x < 10 ? ramp[(x + 10) * step10 >> 18] : kBackground;
        return x >= 200 ? ramp[(x - 200) * step11 >> 18] : kBackground;
    });
    EXPECT_EQ(frame.At(100, 8), ramp[0]);
    EXPECT_EQ(frame.At(163, 8), ramp[62]);
    EXPECT_EQ((std::vector<uint16_t>{ramp[0], ramp[1], ramp[2], ramp[3], ramp[32], ramp[63]}),
              (std::vector<uint16_t>{0x0000, 0x0000, 0x0020, 0x0841, 0x7BEF, 0xFFDF}));
    renderer.BuildShadeRamp(0xABFF0080); // the top byte is ignored
    EXPECT_EQ(ramp[63], 0xF80F);         // red 31, green 0, blue (63*128)>>9 = 15
    EXPECT_EQ((std::vector<uint16_t>{PackRgb565(0xFFFFFF), PackRgb565(0x808080),
                                     PackRgb565(0xFF0000), PackRgb565(0x50505050)}),
              (std::vector<uint16_t>{0xFFFF, 0x8410, 0xF800, 0x528A}));
}

// Intensity 200, u = 0.5, v = 0.25 read texel 50208 (level 12, row 16,
// column 32); the textured filler takes its level from the colour's low byte.
// Coordinates outside 0 to 1.0 wrap within the level block.
TEST(TexturedSpans, AddressLevelsRowsAndColumnsWithinTheTexture) {
    Frame frame(64, 1);
    Renderer& renderer = *frame.renderer;
    TestTexture texture(64, 64, 4, Numbered);
    renderer.texture = texture.get();
    SetRow(renderer, 0, {Fx(5), 200 << 16, Fx(0.5), Fx(0.25)}, {Fx(6), 0, Fx(0.5), Fx(0.25)});
    FillTexturedShaded(&renderer, 0, 1);
    EXPECT_EQ(frame.At(5, 0), 50208);
    SetRow(renderer, 0, {0, 0, 0, Fx(0.5)}, {Fx(64), 0, Fx(1.0), Fx(0.5)});
    FillTextured(&renderer, 0, 1, 0x50505050);
    frame.Expect([](int32_t x, int32_t) { return 5 * 4096 + 32 * 64 + x; });
    FillTextured(&renderer, 0, 1, 0xFFFFFF);
    EXPECT_EQ(frame.At(7, 0), 15 * 4096 + 32 * 64 + 7);

    SetRow(renderer, 0, {0, 255 << 16, Fx(0.1), Fx(0.3)}, {Fx(64), 255 << 16, Fx(0.9), Fx(0.6)});
    FillTexturedShaded(&renderer, 0, 1);
    const std::vector<uint16_t> inside = frame.pixels;
    for (Fixed offset : {Fx(1), Fx(-1), Fx(3), Fx(-7)}) {
        frame.Clear();
        SetRow(renderer, 0, {0, 255 << 16, Fx(0.1) + offset, Fx(0.3) - offset},
               {Fx(64), 255 << 16, Fx(0.9) + offset, Fx(0.6) - offset});
        FillTexturedShaded(&renderer, 0, 1);
        ASSERT_EQ(frame.pixels, inside) << offset;
    }
    SetRow(renderer, 0, {0, 0, Fx(1.0), Fx(1.0)}, {Fx(2), 0, Fx(1.0), Fx(1.0)});
    FillTextured(&renderer, 0, 1, 0xFF);
    EXPECT_EQ(frame.At(0, 0), 15 * 4096); // u = v = 1.0 wraps to texel (0, 0)

    // A texture without a square level block per level is not drawn at all.
    const auto one = [](uint32_t) { return 1; };
    TestTexture wide(64, 32, 4, one), odd(48, 48, 0, one), released(64, 64, 4, one);
    TextureRelease(released.get());
    frame.Clear();
    for (Texture* t : {wide.get(), odd.get(), released.get(), static_cast<Texture*>(nullptr)}) {
        renderer.texture = t;
        FillTexturedShaded(&renderer, 0, 1);
        FillTextured(&renderer, 0, 1, 0xFF);
    }
    EXPECT_EQ(frame.CountDrawn(), 0);
}
