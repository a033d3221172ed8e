#include "tools/pictures/pictures.h"

#include "host/gx.h"
#include "host/screen.h"
#include "platform/display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

const std::vector<DemoPicture>& Pictures() {
    static const std::vector<DemoPicture> pictures = PaintDemoPictures();
    return pictures;
}

} // namespace

// The names and sizes the clock loads, and a ball texture with bright and dark
// parts for its 16 shade levels to show.
TEST(DemoPictures, HaveTheNamesAndSizesTheClockWants) {
    const struct {
        const char* name;
        uint16_t width, height;
    } wanted[] = {{"hana01.zit", 128, 128}, {"yama01.zit", 240, 240}, {"title01.zit", 40, 240}};
    ASSERT_EQ(Pictures().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const ZitPicture& texture = Pictures()[i].texture;
        EXPECT_STREQ(Pictures()[i].fileName, wanted[i].name);
        EXPECT_EQ(texture.width, wanted[i].width);
        EXPECT_EQ(texture.height, wanted[i].height);
        EXPECT_EQ(texture.texels.size(), size_t{texture.width} * texture.height);
    }
    int bright = 0, dark = 0;
    for (uint16_t t : Pictures()[0].texture.texels) {
        const int luma = (t >> 11) * 24 + ((t >> 5) & 0x3F) * 24 + (t & 0x1F) * 8;
        bright += luma > 1600;
        dark += luma < 400;
    }
    EXPECT_GT(bright, 128 * 128 / 10);
    EXPECT_GT(dark, 128 * 128 / 10);
}

// The background, laid into the frame as the clock's opaque blit lays it and
// presented, and the title strip, copied where the title page copies it, stand
// upright on the portrait screen, the sky at the top.
TEST(DemoPictures, StandUprightOnThePortraitScreen) {
    static int window;
    host::GxReset();
    ASSERT_TRUE(host::ScreenSetUp(host::DefaultScreenProperties()));
    const ZitPicture& land = Pictures()[1].texture;
    const ZitPicture& title = Pictures()[2].texture;
    Display display(reinterpret_cast<host::WindowHandle>(&window));
    ASSERT_NE(DisplayCreateFrameBuffer(&display, 240, 240), nullptr);
    DisplayPlace(&display, 40, 0);
    std::memcpy(display.frameBuffer, land.texels.data(), 240 * 240 * 2);
    ASSERT_EQ(DisplayPresent(&display), 1);
    DisplayCopyRect(&display, 280, 0, 40, 240, title.texels.data(), 40);

    const std::vector<uint16_t> landUpright = Pictures()[1].upright.Texels();
    const std::vector<uint16_t> titleUpright = Pictures()[2].upright.Texels();
    int wrong = 0;
    long blue = 0, red = 0;
    for (int y = 0; y < 280; ++y) {
        for (int x = 0; x < 240; ++x) {
            const uint16_t pixel = host::ScreenPixel(x, y);
            wrong +=
                pixel != (y < 40 ? titleUpright[y * 240 + x] : landUpright[(y - 40) * 240 + x]);
            blue += y >= 40 && y < 60 ? pixel & 0x1F : 0;
            red += y >= 40 && y < 60 ? pixel >> 11 : 0;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(blue, red * 2);
}

// The pictures are painted with IEEE arithmetic alone, so every machine paints
// the same texels (the ARM build's screenshots are compared with these). When
// a picture is changed on purpose, the sum below changes with it.
TEST(DemoPictures, AreTheSameOnEveryMachine) {
    uint64_t hash = 14695981039346656037ull;
    for (const DemoPicture& picture : Pictures()) {
        for (uint16_t t : picture.texture.texels)
            hash = (hash ^ t) * 1099511628211ull;
    }
    EXPECT_EQ(hash, 0x6d9869576f499effull) << std::hex << hash;
}
