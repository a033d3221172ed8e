#include "tools/pictures/pictures.h"
#include "tools/pictures/steady_math.h"

#include "host/debug_output.h"
#include "host/gx.h"
#include "host/module.h"
#include "host/screen.h"
#include "platform/display.h"
#include "resource/file.h"
#include "resource/memory.h"
#include "resource/texture.h"
#include "tools/zit_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

int windowStandIn;
const auto kWindow = reinterpret_cast<host::WindowHandle>(&windowStandIn);

const std::vector<DemoPicture>& Pictures() {
    static const std::vector<DemoPicture> pictures = PaintDemoPictures();
    return pictures;
}

int Luma(uint16_t t) {
    return ((t >> 11) << 3) * 3 + (((t >> 5) & 0x3F) << 2) * 6 + ((t & 0x1F) << 3);
}

} // namespace

TEST(DemoPictures, SizesFitTheirUse) {
    const auto& p = Pictures();
    ASSERT_EQ(p.size(), 3u);
    EXPECT_STREQ(p[0].fileName, "hana01.zit");
    EXPECT_EQ(p[0].texture.width, 128);
    EXPECT_EQ(p[0].texture.height, 128);
    EXPECT_STREQ(p[1].fileName, "yama01.zit");
    EXPECT_EQ(p[1].texture.width, 240);
    EXPECT_EQ(p[1].texture.height, 240);
    EXPECT_STREQ(p[2].fileName, "title01.zit");
    EXPECT_EQ(p[2].texture.width, 40);
    EXPECT_EQ(p[2].texture.height, 240);
    for (const DemoPicture& picture : p) {
        EXPECT_EQ(picture.texture.texels.size(),
                  size_t{picture.texture.width} * picture.texture.height);
    }
    // The ball's texture has bright and dark parts for its shade levels to show.
    int bright = 0, dark = 0;
    for (uint16_t t : p[0].texture.texels) {
        bright += Luma(t) > 1600;
        dark += Luma(t) < 400;
    }
    EXPECT_GT(bright, 128 * 128 / 10);
    EXPECT_GT(dark, 128 * 128 / 10);
}

// The background, laid into the frame as the clock's opaque blit lays it and
// presented, and the title strip, copied where the title page copies it, stand
// upright on the portrait screen.
TEST(DemoPictures, StandUprightOnThePortraitScreen) {
    host::GxReset();
    ASSERT_TRUE(host::ScreenSetUp(host::DefaultScreenProperties()));
    const DemoPicture& land = Pictures()[1];
    const DemoPicture& title = Pictures()[2];
    {
        Display display(kWindow);
        ASSERT_NE(DisplayCreateFrameBuffer(&display, 240, 240), nullptr);
        DisplayPlace(&display, 40, 0);
        std::memcpy(display.frameBuffer, land.texture.texels.data(), 240 * 240 * 2);
        ASSERT_EQ(DisplayPresent(&display), 1);
        DisplayCopyRect(&display, 280, 0, title.texture.width, title.texture.height,
                        title.texture.texels.data(), title.texture.width);

        const std::vector<uint16_t> landUpright = land.upright.Texels();
        const std::vector<uint16_t> titleUpright = title.upright.Texels();
        int wrong = 0;
        for (int y = 0; y < 280; ++y) {
            for (int x = 0; x < 240; ++x) {
                const uint16_t want =
                    y < 40 ? titleUpright[y * 240 + x] : landUpright[(y - 40) * 240 + x];
                wrong += host::ScreenPixel(x, y) != want;
            }
        }
        EXPECT_EQ(wrong, 0);
        // Sky above: the frame's top screen rows are blue.
        long blue = 0, red = 0;
        for (int x = 0; x < 240; ++x) {
            for (int y = 40; y < 60; ++y) {
                blue += host::ScreenPixel(x, y) & 0x1F;
                red += host::ScreenPixel(x, y) >> 11;
            }
        }
        EXPECT_GT(blue, red * 2);
    }
    host::GxReset();
}

TEST(DemoPictures, LoadIntoTheEngine) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kq3d-pics-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    host::SetDeviceRoot(pattern);
    host::SetModuleFileName(u"\\kq3d-clock");
    FileInitDirectory();
    MemoryInit();
    MemoryLevelSetup(1024, 0);
    host::SetDebugToStderr(false);
    const int levelBits[] = {4, 0, 0};
    for (size_t i = 0; i < Pictures().size(); ++i) {
        const DemoPicture& picture = Pictures()[i];
        std::string error;
        ASSERT_TRUE(ZitSavePicture(pattern + "/" + picture.fileName, picture.texture, &error));
        Texture texture;
        TextureInit(&texture);
        ASSERT_EQ(TextureLoadZit(&texture, picture.fileName, levelBits[i]), 1);
        EXPECT_EQ(texture.width, picture.texture.width);
        const size_t last = (size_t{texture.levelCount} - 1) * texture.texelCount;
        EXPECT_EQ(std::memcmp(texture.texels + last, picture.texture.texels.data(),
                              picture.texture.texels.size() * 2),
                  0);
        TextureRelease(&texture);
    }
    host::SetDebugToStderr(true);
    host::SetModuleFileName(nullptr);
    host::SetDeviceRoot("");
    std::filesystem::remove_all(pattern);
}

TEST(DemoPictures, TurningMapsUprightRowsToScreenColumns) {
    // A 3 wide, 2 high upright picture: rows "abc" over "def".
    const std::vector<uint16_t> upright = {'a', 'b', 'c', 'd', 'e', 'f'};
    const ZitPicture turned = TurnedForScreen(upright, 3, 2);
    EXPECT_EQ(turned.width, 2);
    EXPECT_EQ(turned.height, 3);
    // Texel row r is screen column r; column c counts up from the bottom row.
    EXPECT_EQ(turned.texels, (std::vector<uint16_t>{'d', 'a', 'e', 'b', 'f', 'c'}));
}

TEST(SteadyMath, FollowsTheLibraryClosely) {
    double worst = 0;
    for (int i = -2000; i <= 2000; ++i) {
        const float x = static_cast<float>(i) * 0.01f;
        worst = std::max(worst, std::abs(SteadySin(x) - std::sin(static_cast<double>(x))));
        worst = std::max(worst, std::abs(SteadyCos(x) - std::cos(static_cast<double>(x))));
        worst = std::max(worst, std::abs(SteadyAtan2(x, 1.5f) - std::atan2(x, 1.5)));
        worst = std::max(worst, std::abs(SteadyAtan2(-1.0f, x) - std::atan2(-1.0, x)));
        const double e = std::exp(static_cast<double>(x) * 0.2);
        worst = std::max(worst, std::abs(SteadyExp(x * 0.2f) - e) / e);
        if (i > 0) {
            const double p = std::pow(static_cast<double>(x), 0.3);
            worst = std::max(worst, std::abs(SteadyPow(x, 0.3f) - p) / p);
        }
    }
    EXPECT_LT(worst, 1e-6);
    EXPECT_EQ(SteadyPow(0.0f, 0.3f), 0.0f);
    EXPECT_EQ(SteadyAtan2(0.0f, 0.0f), 0.0f);
}

// The pictures are painted with IEEE arithmetic alone, so every machine paints
// the same texels (the ARM build's screenshots are compared with these). When
// a picture is changed on purpose, the sum below changes with it.
TEST(DemoPictures, AreTheSameOnEveryMachine) {
    uint64_t hash = 14695981039346656037ull;
    for (const DemoPicture& picture : Pictures()) {
        for (uint16_t t : picture.texture.texels) {
            hash = (hash ^ t) * 1099511628211ull;
        }
    }
    EXPECT_EQ(hash, 0x6d9869576f499effull) << std::hex << hash;
}
