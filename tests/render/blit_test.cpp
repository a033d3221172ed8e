// The three image blits: exact copies, colour key, clipping to the frame and
// to the texture, and scaling by 16.16 steps.
#include "render/renderer.h"
#include "render_test_util.h"

#include <gtest/gtest.h>

namespace {

// A texture whose texel at (column, row) is row * 256 + column + 1 (never 0),
// with optional transparent (0) texels where (column + row) % 3 == 0.
std::unique_ptr<TestTexture> MakePicture(int32_t width, int32_t height, bool keyed) {
    auto texture = std::make_unique<TestTexture>(width, height, 0);
    for (int32_t row = 0; row < height; ++row) {
        for (int32_t column = 0; column < width; ++column) {
            const bool clear = keyed && (column + row) % 3 == 0;
            texture->texels[static_cast<size_t>(row * width + column)] =
                clear ? 0 : static_cast<uint16_t>(row * 256 + column + 1);
        }
    }
    return texture;
}

uint16_t PictureTexel(int32_t column, int32_t row) {
    return static_cast<uint16_t>(row * 256 + column + 1);
}

TEST(Blit, OpaqueCopiesRowsAndClipsSoundly) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    auto picture = MakePicture(240, 250, true);
    renderer->BlitOpaque(picture->get(), 0, 0, 240, 240, 0, 0);
    EXPECT_TRUE(std::equal(frame.pixels.begin(), frame.pixels.end(), picture->texels.begin()));

    // A rectangle inside both, from a source corner.
    frame.Clear();
    renderer->BlitOpaque(picture->get(), 10, 20, 5, 3, 7, 9);
    EXPECT_EQ(frame.CountDrawn(), 15);
    EXPECT_EQ(frame.At(10, 20), PictureTexel(7, 9));
    EXPECT_EQ(frame.At(14, 22), PictureTexel(11, 11));

    // Rectangles leaving the frame or the texture are cut to the part that
    // lies in both; sizes of 0 or below copy nothing.
    frame.Clear();
    renderer->BlitOpaque(picture->get(), -8, 235, 20, 20, 0, 0);
    EXPECT_EQ(frame.CountDrawn(), 12 * 5);
    EXPECT_EQ(frame.At(0, 235), PictureTexel(8, 0));
    frame.Clear();
    renderer->BlitOpaque(picture->get(), 0, 0, 30, 30, 230, 245);
    EXPECT_EQ(frame.CountDrawn(), 10 * 5);
    EXPECT_EQ(frame.At(0, 0), PictureTexel(230, 245));
    frame.Clear();
    renderer->BlitOpaque(picture->get(), 0, 0, 0, 10, 0, 0);
    renderer->BlitOpaque(picture->get(), 0, 0, -5, 10, 0, 0);
    renderer->BlitOpaque(picture->get(), 0, 0, 10, 10, -20, 0);
    renderer->BlitOpaque(picture->get(), INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MIN, 0);
    EXPECT_EQ(frame.CountDrawn(), 0);
}

TEST(Blit, KeyedSkipsZeroAndClipsToTheFrame) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    auto picture = MakePicture(64, 64, true);
    renderer->BlitKeyed(picture->get(), 100, 100, 64, 64, 0, 0);
    for (int32_t row = 0; row < 64; ++row) {
        for (int32_t column = 0; column < 64; ++column) {
            const uint16_t expected =
                (column + row) % 3 == 0 ? kBackground : PictureTexel(column, row);
            ASSERT_EQ(frame.At(100 + column, 100 + row), expected);
        }
    }

    // Starting 8 left of the frame: column 0 shows source column srcX + 8.
    frame.Clear();
    renderer->BlitKeyed(picture->get(), -8, 0, 16, 4, 2, 1);
    EXPECT_EQ(frame.At(0, 0), PictureTexel(10, 1));
    EXPECT_FALSE(frame.Drawn(8, 0));
    // Starting above the frame: rows skip with the source moving alongside.
    renderer->BlitKeyed(picture->get(), 50, -5, 4, 8, 0, 0);
    EXPECT_EQ(frame.At(52, 0), PictureTexel(2, 5));
    frame.Clear();
    renderer->BlitKeyed(picture->get(), 0, 240, 10, 10, 0, 0);
    renderer->BlitKeyed(picture->get(), -11, 0, 10, 10, 0, 0);
    renderer->BlitKeyed(picture->get(), 236, 236, 10, 10, 60, 60); // leaves both
    EXPECT_EQ(frame.CountDrawn(), 4 * 4 - 6);                      // the key takes 6 of 16

    TestTexture empty(16, 16, 0);
    frame.Clear();
    renderer->BlitKeyed(empty.get(), 0, 0, 16, 16, 0, 0);
    EXPECT_EQ(frame.CountDrawn(), 0);
}

TEST(Blit, ScaledKeyed) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    auto picture = MakePicture(8, 8, false);
    renderer->BlitScaledKeyed(picture->get(), 0, 0, 16, 16, 0, 0, 8, 8);
    for (int32_t y = 0; y < 16; ++y) {
        for (int32_t x = 0; x < 16; ++x)
            ASSERT_EQ(frame.At(x, y), PictureTexel(x / 2, y / 2));
    }
    frame.Clear();
    renderer->BlitScaledKeyed(picture->get(), 20, 20, 4, 4, 0, 0, 8, 8);
    EXPECT_EQ(frame.CountDrawn(), 16);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x)
            EXPECT_EQ(frame.At(20 + x, 20 + y), PictureTexel(2 * x, 2 * y));
    }

    // Clipping does not shift the picture: with dstY = -3 the frame's rows
    // show what an unclipped blit shows at rows 3 and on.
    auto keyed = MakePicture(32, 32, true);
    Frame whole(240, 240);
    auto wholeRenderer = MakeRenderer(whole);
    wholeRenderer->BlitScaledKeyed(keyed->get(), 5, 0, 50, 45, 4, 2, 24, 27);
    frame.Clear();
    renderer->BlitScaledKeyed(keyed->get(), 5, -3, 50, 45, 4, 2, 24, 27);
    for (int32_t y = 0; y < 42; ++y) {
        for (int32_t x = 0; x < 60; ++x)
            ASSERT_EQ(frame.At(x, y), whole.At(x, y + 3));
    }
    frame.Clear();
    whole.Clear();
    wholeRenderer->BlitScaledKeyed(keyed->get(), 0, 0, 50, 45, 4, 2, 24, 27);
    renderer->BlitScaledKeyed(keyed->get(), -7, 0, 50, 45, 4, 2, 24, 27);
    for (int32_t y = 0; y < 45; ++y) {
        for (int32_t x = 0; x < 43; ++x)
            ASSERT_EQ(frame.At(x, y), whole.At(x + 7, y));
    }

    // Nothing for empty destinations; a source leaving the texture draws only
    // the texels it has.
    frame.Clear();
    renderer->BlitScaledKeyed(picture->get(), 0, 0, 0, 16, 0, 0, 8, 8);
    renderer->BlitScaledKeyed(picture->get(), 0, 0, 16, 0, 0, 0, 8, 8);
    renderer->BlitScaledKeyed(picture->get(), 0, 0, -16, 16, 0, 0, 8, 8);
    EXPECT_EQ(frame.CountDrawn(), 0);
    renderer->BlitScaledKeyed(picture->get(), 0, 0, 16, 16, 4, 4, 8, 8);
    EXPECT_EQ(frame.CountDrawn(), 8 * 8);
    EXPECT_EQ(frame.At(7, 7), PictureTexel(7, 7));
    renderer->BlitScaledKeyed(picture->get(), 0, 0, 100, 100, -3, -3, 40000, 70000);
    renderer->BlitScaledKeyed(picture->get(), 230, 230, INT32_MAX, INT32_MAX, 0, 0, 8, 8);
}

} // namespace
