// The program run as the device runs it: main, with the device pressing Start
// after a number of frames, and what its screenshot shows.
#include "../platform/failing_new.h"
#include "clock_fixture.h"
#include "host/device.h"
#include "host/gx.h"
#include "host/screenshot.h"
#include "platform/startup.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// An 8-bit RGB picture read back from a PNG file.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* At(int32_t x, int32_t y) const {
        return &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) *
                    3];
    }
};

bool ReadPicture(const std::string& path, Picture* picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    picture->width = static_cast<int32_t>(image.width);
    picture->height = static_cast<int32_t>(image.height);
    picture->rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture->rgb.data(), 0, nullptr) != 0;
}

// The screen position of the frame point (centre + radius in the direction of
// a clock-face angle of 4096 steps to the turn, 1024 up): the clock stands
// upright on the portrait screen, its centre at frame (120, 120), which is
// screen (120, 159).
void FacePoint(int32_t angle, double radius, double across, int32_t* x, int32_t* y) {
    const double a = angle * (2.0 * M_PI / 4096.0);
    const double dx = std::cos(a);
    const double dy = -std::sin(a); // screen rows grow downward
    *x = static_cast<int32_t>(std::lround(120.0 + radius * dx - across * dy));
    *y = static_cast<int32_t>(std::lround(159.0 + radius * dy + across * dx));
}

// How many of the radii show, within 4 pixels across the hand, a pixel for
// which `is` holds.
template <class Is>
int HandHits(const Picture& picture, int32_t angle, int from, int to, Is is) {
    int hits = 0;
    for (int radius = from; radius <= to; radius += 5) {
        bool hit = false;
        for (int across = -4; across <= 4 && !hit; ++across) {
            int32_t x = 0;
            int32_t y = 0;
            FacePoint(angle, radius, across, &x, &y);
            const uint8_t* p = picture.At(x, y);
            hit = is(p[0], p[1], p[2]);
        }
        hits += hit;
    }
    return hits;
}

class ClockRunTest : public ClockTest {};

TEST_F(ClockRunTest, MainRunsTheClockWhoseScreenshotShowsTheTime) {
    WritePictures();
    host::SetLocalTimeFixed(TimeOfDay(15, 0, 40)); // 3:00:40 in the afternoon
    host::DeviceSetStartAfterFrames(15);           // ten title frames, five of the scene
    static int instance;
    static char16_t commandLine[] = u"";
    EXPECT_EQ(AppMain(&instance, nullptr, commandLine, 1), 0);
    auto* app = static_cast<ClockApp*>(currentApp);
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->ballAngleY, 19 * 5);
    EXPECT_EQ(app->flowerTexture, nullptr);              // torn down
    EXPECT_EQ(host::GxCallCounts().endDraw, 10 * 2 + 5); // fill and strip, then presents

    const std::string path = (root_ / "clock.png").string();
    std::string error;
    ASSERT_TRUE(host::WriteScreenshot(path, &error)) << error;
    Picture shot;
    ASSERT_TRUE(ReadPicture(path, &shot));
    ASSERT_EQ(shot.width, 240);
    ASSERT_EQ(shot.height, 320);

    // The background outside the clock's reach is the picture, pixel for
    // pixel; the title strip fills the top 40 rows; the band below the frame
    // is black up to the caption.
    int background = 0;
    int backgroundWrong = 0;
    for (int32_t fy = 0; fy < 240; ++fy) {
        for (int32_t fx = 0; fx < 240; ++fx) {
            if (std::hypot(fx - 120.0, fy - 120.0) < 120.0) continue;
            uint8_t expected[3];
            host::ExpandPixel(BackgroundTexel(fx, fy), expected);
            const uint8_t* p = shot.At(fy, 279 - fx);
            ++background;
            backgroundWrong += p[0] != expected[0] || p[1] != expected[1] || p[2] != expected[2];
        }
    }
    EXPECT_GT(background, 10000);
    EXPECT_EQ(backgroundWrong, 0);
    uint8_t title[3];
    host::ExpandPixel(kTitleTexel, title);
    EXPECT_EQ(shot.At(0, 0)[2], title[2]);
    EXPECT_EQ(shot.At(239, 39)[2], title[2]);
    EXPECT_EQ(shot.At(239, 39)[0], 0);
    EXPECT_EQ(shot.At(10, 300)[0] | shot.At(10, 300)[1] | shot.At(10, 300)[2], 0);

    // The ball: magenta texels, shaded, up and to the left of the centre.
    const auto magenta = [](int r, int g, int b) { return g == 0 && r > 0 && b > 0; };
    EXPECT_TRUE(magenta(shot.At(100, 139)[0], shot.At(100, 139)[1], shot.At(100, 139)[2]));

    // The hands: red hour hand toward three, blue-violet minute hand just
    // past twelve, grey second hand toward eight (40 seconds).
    const auto red = [](int r, int g, int b) { return r > 0 && g == 0 && b == 0; };
    const auto violet = [](int r, int g, int b) { return g == 0 && b > r && r > 0; };
    const auto grey = [](int r, int g, int b) { return r > 0 && r == b && std::abs(g - r) <= 8; };
    EXPECT_EQ(HandHits(shot, HourHandAngle(3, 0), 30, 60, red), 7);
    EXPECT_EQ(HandHits(shot, MinuteHandAngle(0, 40), 50, 90, violet), 9);
    EXPECT_EQ(HandHits(shot, SecondHandAngle(40), 50, 80, grey), 7);
    // ... and none of them where the other hands are.
    EXPECT_EQ(HandHits(shot, HourHandAngle(3, 0), 30, 60, violet), 0);
    EXPECT_EQ(HandHits(shot, MinuteHandAngle(0, 40), 50, 90, red), 0);
    EXPECT_EQ(HandHits(shot, 2048, 50, 80, grey), 0);

    delete app; // main leaves it to the end of the process
}

TEST_F(ClockRunTest, MainWithoutItsApplicationSetsNothingUpAndRunsNoLoop) {
    WritePictures();
    refuseNothrowNewOfSize = sizeof(ClockApp);
    static int instance;
    static char16_t commandLine[] = u"";
    const int result = AppMain(&instance, nullptr, commandLine, 1);
    refuseNothrowNewOfSize = 0;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(host::DeviceInputWindow(), nullptr);
    EXPECT_EQ(host::GxCallCounts().openDisplay, 0);
    EXPECT_FALSE(HasLine(u"al:FileOpen[\\hana01.zit]"));
}

} // namespace
