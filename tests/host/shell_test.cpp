#include "host/process.h"
#include "host/screen.h"
#include "host/screenshot.h"
#include "host/shell_options.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool Parse(std::vector<const char*> args, host::ShellOptions* options, std::string* error) {
    args.insert(args.begin(), "kq3d-clock");
    return host::ParseShellOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(ShellOptions, ReadsTheDevicesOptionsAndRefusesTheRestInOneLine) {
    host::ShellOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--headless", "--frames", "5", "--time", "23:59:07", "--screenshot",
                       "out.png", "--scale", "3"},
                      &options, &error));
    EXPECT_TRUE(options.headless && options.framesGiven && options.timeGiven);
    EXPECT_EQ(options.frames, 5u);
    EXPECT_EQ(options.hour * 10000 + options.minute * 100 + options.second, 235907);
    EXPECT_EQ(options.screenshot, "out.png");
    EXPECT_EQ(options.scale, 3);
    ASSERT_TRUE(Parse({"--time", "7:05:00"}, &options, &error)); // starts afresh
    EXPECT_EQ(options.hour, 7);
    EXPECT_EQ(options.scale, 2);
    EXPECT_FALSE(options.headless);
    EXPECT_EQ(options.failAlloc, 0u);
    EXPECT_FALSE(options.report);

    ASSERT_TRUE(
        Parse({"--root", "/tmp/x", "--fail-alloc", "3", "--fail-alloc-after", "4294967295",
               "--fail-new", "2", "--fail-new-after", "5", "--time-step", "86400000",
               "--tick-start", "4294967295", "--tick-step", "16", "--storm", "5000", "--report"},
              &options, &error))
        << error;
    EXPECT_EQ(options.root, "/tmp/x");
    EXPECT_EQ(options.failAlloc, 3u);
    EXPECT_EQ(options.failAllocAfter, 4294967295u);
    EXPECT_EQ(options.failNew, 2u);
    EXPECT_EQ(options.failNewAfter, 5u);
    EXPECT_TRUE(options.timeStepGiven);
    EXPECT_EQ(options.timeStep, 86400000u);
    EXPECT_TRUE(options.tickStartGiven);
    EXPECT_EQ(options.tickStart, 4294967295u);
    EXPECT_TRUE(options.tickStepGiven);
    EXPECT_EQ(options.tickStep, 16u);
    EXPECT_EQ(options.storm, 5000u);
    EXPECT_TRUE(options.report);

    const std::vector<std::vector<const char*>> bad = {{"--frames"},
                                                       {"--frames", "-1"},
                                                       {"--frames", "5x"},
                                                       {"--frames", ""},
                                                       {"--frames", "99999999999999999999"},
                                                       {"--time", "24:00:00"},
                                                       {"--time", "12:60:00"},
                                                       {"--time", "12:00"},
                                                       {"--time", "1:2:3"},
                                                       {"--time", "12:00:00pm"},
                                                       {"--scale", "0"},
                                                       {"--scale", "17"},
                                                       {"--screenshot", ""},
                                                       {"--root", ""},
                                                       {"--fail-alloc", "0"},
                                                       {"--fail-new", "0"},
                                                       {"--fail-alloc-after", "4294967296"},
                                                       {"--time-step", "86400001"},
                                                       {"--tick-start", "-1"},
                                                       {"--tick-step", "x"},
                                                       {"--storm"},
                                                       {"--window"},
                                                       {"extra"}};
    for (const auto& args : bad) {
        error.clear();
        EXPECT_FALSE(Parse(args, &options, &error)) << args[0];
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(Screenshot, ExpandsEachPixelAndWritesTheWholeScreen) {
    uint8_t rgb[3];
    host::ExpandPixel(0x8410, rgb); // r 16, g 32, b 16: the top bits repeat below
    EXPECT_TRUE(rgb[0] == (16 << 3 | 16 >> 2) && rgb[1] == (32 << 2 | 32 >> 4) &&
                rgb[2] == (16 << 3 | 16 >> 2));

    ASSERT_TRUE(host::ScreenSetUp(host::DefaultScreenProperties()));
    host::ScreenSetPixel(239, 319, 0xF800);
    host::ScreenSetPixel(17, 200, 0x001F);
    const std::string path = "screenshot_test.png";
    std::string error;
    ASSERT_TRUE(host::WriteScreenshot(path, &error)) << error;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0);
    EXPECT_EQ(image.width, 240u);
    EXPECT_EQ(image.height, 320u);
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr), 0);
    std::remove(path.c_str());
    const uint8_t* corner = &pixels[(319 * 240 + 239) * 3];
    const uint8_t* blue = &pixels[(200 * 240 + 17) * 3];
    EXPECT_TRUE(corner[0] == 255 && corner[1] == 0 && blue[0] == 0 && blue[2] == 255);

    // An unwritable place or a screen of another depth: refused with a message.
    EXPECT_FALSE(host::WriteScreenshot("no/such/folder/x.png", &error));
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(host::ScreenSetUp({240, 320, 1, 120, 4, 0}));
    EXPECT_FALSE(host::WriteScreenshot(path, &error));
    host::ScreenSetUp(host::DefaultScreenProperties());
}

TEST(ProcessDeathTest, TerminationRunsTheDevicesWorkWhichMayChangeTheCode) {
    EXPECT_EXIT(
        {
            host::SetTerminationWork([](int code) {
                std::fprintf(stderr, "device work for %d\n", code);
                return code + 1;
            });
            host::TerminateProcess(4);
        },
        ::testing::ExitedWithCode(5), "device work for 4");
    EXPECT_EXIT(host::TerminateProcess(3), ::testing::ExitedWithCode(3), "");
}

} // namespace
