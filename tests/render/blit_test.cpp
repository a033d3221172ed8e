// The three image blits: exact copies, colour key, clipping to the frame and
// to the texture, and scaling by 16.16 steps; the opaque blit of the frame's
// marked tiles.
#include "platform/frame_tiles.h"
#include "render/renderer.h"
#include "render_test_util.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The picture blitted: 256x250 texels, (column, row) holding row * 256 +
// column + 1, or 0 (transparent) where (column + row) % 3 == 0.
uint16_t Texel(int32_t column, int32_t row) {
    return (column + row) % 3 == 0 ? 0 : static_cast<uint16_t>(row * 256 + column + 1);
}

uint16_t PictureTexel(uint32_t k) {
    return Texel(static_cast<int32_t>(k % 256), static_cast<int32_t>(k / 256));
}

// What a keyed blit leaves where it shows that texel.
uint16_t Shown(int32_t column, int32_t row) {
    return Texel(column, row) == 0 ? kBackground : Texel(column, row);
}

} // namespace

// Texel 0 is copied too; rectangles are cut to the frame and the texture.
TEST(Blit, OpaqueCopiesRowsAndClipsSoundly) {
    Frame frame(240, 240);
    TestTexture picture(256, 250, 0, PictureTexel);
    frame.renderer->BlitOpaque(picture.get(), 0, 0, 240, 240, 0, 0);
    frame.Expect(Texel);
    frame.Clear();
    const int32_t rects[][6] = {
        {-8, 235, 20, 20, 0, 0}, {100, 0, 30, 30, 230, 245},
        {0, 0, 0, 10, 0, 0},     {0, 0, -5, 10, 0, 0},
        {0, 0, 10, 10, -20, 0},  {INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MIN, 0}};
    for (const auto& r : rects)
        frame.renderer->BlitOpaque(picture.get(), r[0], r[1], r[2], r[3], r[4], r[5]);
    frame.Expect([](int32_t x, int32_t y) {
        if (x < 12 && y >= 235) return Texel(x + 8, y - 235);
        return x >= 100 && x < 126 && y < 5 ? Texel(x + 130, y + 245) : kBackground;
    });
}

// Clipped columns and rows are passed over with the source moving alongside.
TEST(Blit, KeyedSkipsZeroAndClipsToTheFrame) {
    Frame frame(240, 240);
    TestTexture picture(256, 250, 0, PictureTexel);
    const int32_t rects[][6] = {{-8, -5, 40, 30, 2, 1},
                                {100, 100, 64, 64, 0, 0},
                                {220, 230, 30, 30, 10, 20},
                                {0, 240, 10, 10, 0, 0},
                                {-11, 0, 10, 10, 0, 0}};
    for (const auto& r : rects)
        frame.renderer->BlitKeyed(picture.get(), r[0], r[1], r[2], r[3], r[4], r[5]);
    frame.Expect([](int32_t x, int32_t y) {
        if (x < 32 && y < 25) return Shown(x + 10, y + 6);
        if (x >= 100 && x < 164 && y >= 100 && y < 164) return Shown(x - 100, y - 100);
        return x >= 220 && y >= 230 ? Shown(x - 210, y - 210) : kBackground;
    });
}

// Column j shows source column floor(j * step), clipped or not; a source
// leaving the texture draws the texels it has.
TEST(Blit, ScaledKeyedStepsThroughTheSourceAndClipsWithoutShifting) {
    Frame frame(240, 240), whole(240, 240);
    Renderer& renderer = *frame.renderer;
    TestTexture picture(256, 250, 0, PictureTexel);
    renderer.BlitScaledKeyed(picture.get(), 0, 0, 16, 16, 0, 0, 8, 8);
    renderer.BlitScaledKeyed(picture.get(), 20, 20, 4, 4, 0, 0, 8, 8);
    renderer.BlitScaledKeyed(picture.get(), 100, 0, 16, 16, 252, 4, 8, 8);
    frame.Expect([](int32_t x, int32_t y) {
        if (x < 16 && y < 16) return Shown(x / 2, y / 2);
        if (x >= 100 && x < 108 && y < 16) return Shown(x / 2 + 202, y / 2 + 4);
        return x >= 20 && x < 24 && y >= 20 && y < 24 ? Shown(2 * x - 40, 2 * y - 40) : kBackground;
    });
    whole.renderer->BlitScaledKeyed(picture.get(), 0, 0, 50, 45, 4, 2, 24, 27);
    EXPECT_FALSE(whole.Drawn(0, 0));
    EXPECT_EQ(whole.At(3, 0), Texel(5, 2)); // 3 steps of 24/50
    frame.Clear();
    renderer.BlitScaledKeyed(picture.get(), -7, -3, 50, 45, 4, 2, 24, 27);
    renderer.BlitScaledKeyed(picture.get(), 0, 0, 0, 16, 0, 0, 8, 8);
    renderer.BlitScaledKeyed(picture.get(), 0, 0, 16, 0, 0, 0, 8, 8);
    renderer.BlitScaledKeyed(picture.get(), 0, 0, -16, 16, 0, 0, 8, 8);
    renderer.BlitScaledKeyed(picture.get(), 200, 200, 100, 100, -3, -3, 40000, 70000);
    renderer.BlitScaledKeyed(picture.get(), 230, 230, INT32_MAX, INT32_MAX, 0, 0, 8, 8);
    frame.Expect([&](int32_t x, int32_t y) {
        return x < 43 && y < 42 ? whole.At(x + 7, y + 3) : kBackground;
    });
}

// A texture as wide as the frame: its rows and the frame's follow one another
// alike, and the blits copy them as one run, still cut to the frame's rows.
TEST(Blit, RowsAsWideAsTheFrameClipAsAnyOther) {
    const auto texel = [](uint32_t k) {
        return Texel(static_cast<int32_t>(k % 240), static_cast<int32_t>(k / 240));
    };
    Frame opaque(240, 240), keyed(240, 240);
    TestTexture picture(240, 240, 0, texel);
    opaque.renderer->BlitOpaque(picture.get(), 0, -5, 240, 300, 0, 0);
    opaque.Expect([](int32_t x, int32_t y) { return y < 235 ? Texel(x, y + 5) : kBackground; });
    keyed.renderer->BlitKeyed(picture.get(), 0, 7, 240, 240, 0, 0);
    keyed.Expect([](int32_t x, int32_t y) { return y < 7 ? kBackground : Shown(x, y - 7); });
}

// Each marked tile takes the texels at its own place, as far as the texture
// reaches; the rest of the frame is left. Tiles standing for all: the whole
// frame.
TEST(Blit, OpaqueTilesCopyTheMarkedTilesOnly) {
    std::mt19937_64 random(5);
    const struct {
        int32_t width, height;
        bool whole;
    } textures[] = {{256, 250, false}, {100, 50, false}, {240, 240, true}, {100, 250, true}};
    for (const auto& t : textures) {
        Frame frame(240, 240);
        TestTexture picture(t.width, t.height, 0, [&](uint32_t k) {
            return Texel(static_cast<int32_t>(k % t.width), static_cast<int32_t>(k / t.width));
        });
        FrameTiles tiles;
        FrameTilesClear(&tiles);
        for (uint64_t& row : tiles.rows)
            row = random() & random();
        tiles.whole = t.whole;
        frame.renderer->BlitOpaqueTiles(picture.get(), tiles);
        frame.Expect([&](int32_t x, int32_t y) {
            const bool marked = t.whole || (tiles.rows[y / 8] >> (x / 8) & 1) != 0;
            return marked && x < t.width && y < t.height ? Texel(x, y) : kBackground;
        });
    }
}
