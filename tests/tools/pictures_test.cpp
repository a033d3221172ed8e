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

const std::vector<DemoPicture>& Pictures() {
    static const std::vector<DemoPicture> pictures = PaintDemoPictures();
    return pictures;
}

int Luma(uint16_t t) {
    return ((t >> 11) << 3) * 3 + (((t >> 5) & 0x3F) << 2) * 6 + ((t & 0x1F) << 3);
}

} // namespace

// The names and sizes the clock loads, each picture loading into the engine
// with its texels as painted (the ball's at 16 shade levels), and a ball
// texture with bright and dark parts for its shade levels to show.
TEST(DemoPictures, LoadIntoTheEngineAtTheSizesTheClockWants) {
    const struct {
        const char* name;
        uint16_t width, height;
        int levelBits;
    } wanted[] = {
        {"hana01.zit", 128, 128, 4}, {"yama01.zit", 240, 240, 0}, {"title01.zit", 40, 240, 0}};
    ASSERT_EQ(Pictures().size(), 3u);
    std::string folder = (std::filesystem::temp_directory_path() / "kq3d-pics-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    host::SetDeviceRoot(folder);
    host::SetModuleFileName(u"\\kq3d-clock");
    FileInitDirectory();
    MemoryInit();
    MemoryLevelSetup(1024, 0);
    host::SetDebugToStderr(false);
    for (size_t i = 0; i < 3; ++i) {
        const ZitPicture& picture = Pictures()[i].texture;
        EXPECT_STREQ(Pictures()[i].fileName, wanted[i].name);
        std::string error;
        ASSERT_TRUE(ZitSavePicture(folder + "/" + wanted[i].name, picture, &error)) << error;
        Texture texture;
        TextureInit(&texture);
        ASSERT_EQ(TextureLoadZit(&texture, wanted[i].name, wanted[i].levelBits), 1);
        EXPECT_EQ(texture.width, wanted[i].width);
        EXPECT_EQ(texture.height, wanted[i].height);
        const size_t last = (size_t{texture.levelCount} - 1) * texture.texelCount;
        EXPECT_EQ(std::vector<uint16_t>(texture.texels + last,
                                        texture.texels + last + texture.texelCount),
                  picture.texels);
        TextureRelease(&texture);
    }
    host::SetDebugToStderr(true);
    host::SetModuleFileName(nullptr);
    host::SetDeviceRoot("");
    std::filesystem::remove_all(folder);

    const std::vector<uint16_t>& ball = Pictures()[0].texture.texels;
    EXPECT_GT(std::count_if(ball.begin(), ball.end(), [](uint16_t t) { return Luma(t) > 1600; }),
              128 * 128 / 10);
    EXPECT_GT(std::count_if(ball.begin(), ball.end(), [](uint16_t t) { return Luma(t) < 400; }),
              128 * 128 / 10);
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
    {
        Display display(reinterpret_cast<host::WindowHandle>(&window));
        ASSERT_NE(DisplayCreateFrameBuffer(&display, 240, 240), nullptr);
        DisplayPlace(&display, 40, 0);
        std::memcpy(display.frameBuffer, land.texels.data(), 240 * 240 * 2);
        ASSERT_EQ(DisplayPresent(&display), 1);
        DisplayCopyRect(&display, 280, 0, title.width, title.height, title.texels.data(),
                        title.width);
    }
    const std::vector<uint16_t> landUpright = Pictures()[1].upright.Texels();
    const std::vector<uint16_t> titleUpright = Pictures()[2].upright.Texels();
    int wrong = 0;
    long blue = 0, red = 0;
    for (int y = 0; y < 280; ++y) {
        for (int x = 0; x < 240; ++x) {
            const uint16_t pixel = host::ScreenPixel(x, y);
            wrong +=
                pixel != (y < 40 ? titleUpright[y * 240 + x] : landUpright[(y - 40) * 240 + x]);
            if (y >= 40 && y < 60) {
                blue += pixel & 0x1F;
                red += pixel >> 11;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(blue, red * 2);
    host::GxReset();
}

TEST(SteadyMath, FollowsTheLibraryClosely) {
    double worst = 0;
    const auto note = [&worst](double got, double want, double scale = 1) {
        worst = std::max(worst, std::abs(got - want) / scale);
    };
    for (int i = -2000; i <= 2000; ++i) {
        const float x = static_cast<float>(i) * 0.01f;
        const double d = x;
        note(SteadySin(x), std::sin(d));
        note(SteadyCos(x), std::cos(d));
        note(SteadyAtan2(x, 1.5f), std::atan2(d, 1.5));
        note(SteadyAtan2(-1.0f, x), std::atan2(-1.0, d));
        note(SteadyExp(x * 0.2f), std::exp(d * 0.2), std::exp(d * 0.2));
        if (i > 0) note(SteadyPow(x, 0.3f), std::pow(d, 0.3), std::pow(d, 0.3));
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
        for (uint16_t t : picture.texture.texels)
            hash = (hash ^ t) * 1099511628211ull;
    }
    EXPECT_EQ(hash, 0x6d9869576f499effull) << std::hex << hash;
}
