// main as the device runs it, Start pressed after some frames, and its
// screenshot (the whole picture: the golden frames).
#include "../platform/failing_new.h"
#include "clock_fixture.h"
#include "host/gx.h"
#include "host/screenshot.h"
#include "platform/startup.h"

#include <png.h>

#include <cmath>
#include <cstring>

namespace {

// An 8-bit RGB picture read back from a PNG file.
struct Picture {
    png_image image{};
    std::vector<uint8_t> rgb;
    bool Read(const std::string& path) {
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
        image.format = PNG_FORMAT_RGB;
        rgb.resize(PNG_IMAGE_SIZE(image));
        return png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
    }
    const uint8_t* At(int32_t x, int32_t y) const { return &rgb[(y * image.width + x) * 3]; }
};

class ClockRunTest : public ClockTest {
  protected:
    int Main() {
        static int instance;
        static char16_t commandLine[] = u"";
        return AppMain(&instance, nullptr, commandLine, 1);
    }
};

TEST_F(ClockRunTest, MainRunsTheClockWhoseScreenshotShowsTheTime) {
    WritePictures();
    host::SetLocalTimeFixed(TimeOfDay(15, 0, 40)); // 3:00:40 in the afternoon
    host::DeviceSetStartAfterFrames(15);           // ten title frames, five of the scene
    EXPECT_EQ(Main(), 0);
    std::unique_ptr<ClockApp> app(static_cast<ClockApp*>(currentApp)); // main leaves it
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->flowerTexture, nullptr);              // torn down
    EXPECT_EQ(host::GxCallCounts().endDraw, 10 * 2 + 5); // fill and strip, then presents

    const std::string path = (root_ / "clock.png").string();
    std::string error;
    ASSERT_TRUE(host::WriteScreenshot(path, &error)) << error;
    Picture shot;
    ASSERT_TRUE(shot.Read(path));
    ASSERT_EQ(shot.image.width, 240u);
    ASSERT_EQ(shot.image.height, 320u);

    // Outside the clock's reach the background shows pixel for pixel.
    int background = 0;
    int backgroundWrong = 0;
    for (int32_t fy = 0; fy < 240; ++fy) {
        for (int32_t fx = 0; fx < 240; ++fx) {
            if (std::hypot(fx - 120.0, fy - 120.0) < 120.0) continue;
            uint8_t expected[3];
            host::ExpandPixel(BackgroundTexel(fx, fy), expected);
            ++background;
            backgroundWrong += std::memcmp(shot.At(fy, 279 - fx), expected, 3) != 0;
        }
    }
    EXPECT_GT(background, 10000);
    EXPECT_EQ(backgroundWrong, 0);
}

TEST_F(ClockRunTest, MainWithoutItsApplicationSetsNothingUpAndRunsNoLoop) {
    WritePictures();
    refuseNothrowNewOfSize = sizeof(ClockApp);
    const int result = Main();
    refuseNothrowNewOfSize = 0;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(host::DeviceInputWindow(), nullptr);
    EXPECT_EQ(host::GxCallCounts().openDisplay, 0);
    EXPECT_FALSE(lines_.Has(u"al:FileOpen[\\hana01.zit]"));
}

} // namespace
