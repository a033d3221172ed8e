#include "host/screen.h"
#include "host/screenshot.h"
#include "host/shell_options.h"
#include "kq3d/version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool Parse(std::vector<const char*> args, host::ShellOptions* options, std::string* error) {
    args.insert(args.begin(), "kq3d-clock");
    return host::ParseCommandLine(host::ShellOptionTable(), static_cast<int>(args.size()),
                                  args.data(), options, nullptr, error) == host::CommandLine::kRun;
}

TEST(ShellOptions, ReadsTheDevicesOptionsAndRefusesTheRestInOneLine) {
    host::ShellOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--headless", "--frames", "5", "--time", "23:59:07", "--screenshot",
                       "out.png", "--scale", "3", "--digest"},
                      &options, &error));
    EXPECT_TRUE(options.headless);
    EXPECT_TRUE(options.framesGiven);
    EXPECT_TRUE(options.timeGiven);
    EXPECT_EQ(options.frames, 5u);
    EXPECT_EQ(options.hour, 23);
    EXPECT_EQ(options.minute, 59);
    EXPECT_EQ(options.second, 7);
    EXPECT_EQ(options.screenshot, "out.png");
    EXPECT_EQ(options.scale, 3);
    EXPECT_TRUE(options.digest);
    ASSERT_TRUE(Parse({"--time", "7:05:00"}, &options, &error)); // starts afresh
    EXPECT_EQ(options.hour, 7);
    EXPECT_EQ(options.scale, 2);
    EXPECT_FALSE(options.headless);
    EXPECT_EQ(options.failAlloc, 0u);
    EXPECT_FALSE(options.report);
    EXPECT_FALSE(options.digest);

    ASSERT_TRUE(
        Parse({"--root", "/tmp/x", "--fail-alloc", "3", "--fail-alloc-after", "4294967295",
               "--fail-new", "2", "--fail-new-after", "5", "--time-step", "86400000",
               "--tick-start", "4294967295", "--tick-step", "16", "--storm", "5000", "--report"},
              &options, &error))
        << error;
    EXPECT_EQ(options.root, "/tmp/x");
    EXPECT_EQ((std::vector<uint32_t>{options.failAlloc, options.failAllocAfter, options.failNew,
                                     options.failNewAfter, options.timeStep, options.tickStart,
                                     options.tickStep, options.storm}),
              (std::vector<uint32_t>{3, 4294967295u, 2, 5, 86400000, 4294967295u, 16, 5000}));
    EXPECT_TRUE(options.timeStepGiven);
    EXPECT_TRUE(options.tickStartGiven);
    EXPECT_TRUE(options.tickStepGiven);
    EXPECT_TRUE(options.report);

    // clang-format off
    const std::vector<std::vector<const char*>> bad = {{"--frames"}, {"--frames", "-1"},
        {"--frames", "5x"}, {"--frames", ""}, {"--frames", "99999999999999999999"},
        {"--time", "24:00:00"}, {"--time", "12:60:00"}, {"--time", "12:00"}, {"--time", "1:2:3"},
        {"--time", "12:00:00pm"}, {"--scale", "0"}, {"--scale", "17"}, {"--screenshot", ""},
        {"--root", ""}, {"--fail-alloc", "0"}, {"--fail-new", "0"},
        {"--fail-alloc-after", "4294967296"}, {"--time-step", "86400001"}, {"--tick-start", "-1"},
        {"--tick-step", "x"}, {"--storm"}, {"--window"}, {"extra"}};
    // clang-format on
    for (const auto& args : bad) {
        error.clear();
        EXPECT_FALSE(Parse(args, &options, &error)) << args[0];
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

// What the device says on its own: help and version on standard output with
// 0, a usage error in one line on standard error with 2.
TEST(ShellOptions, AnswersHelpVersionAndWrongUsage) {
    const struct {
        std::vector<const char*> args;
        int status;
        const char* out; // what standard output begins with
        const char* err; // what the one line on standard error holds
    } cases[] = {
        {{"--help"}, 0, "usage: kq3d-clock [OPTION...]\n", nullptr},
        {{"--frames", "5", "-h"}, 0, "usage: kq3d-clock", nullptr},
        {{"--version"}, 0, "kq3d-clock " KQ3D_VERSION "\n", nullptr},
        {{"--scale", "17"}, 2, "", "kq3d-clock: --scale takes K from 1 to 16, not \"17\""},
        {{"--help", "--window"}, 2, "", "unknown option \"--window\"; try \"kq3d-clock --help\""},
        {{"--time"}, 2, "", "--time needs a value: --time HH:MM:SS"},
        {{"extra"}, 2, "", "takes no words but options, not \"extra\""},
    };
    for (const auto& c : cases) {
        std::vector<const char*> args = c.args;
        args.insert(args.begin(), "/some/folder/kq3d-clock");
        host::ShellOptions options;
        std::ostringstream out, err;
        int status = -1;
        EXPECT_TRUE(host::ReadShellCommandLine(static_cast<int>(args.size()), args.data(), &options,
                                               out, err, &status));
        EXPECT_EQ(status, c.status) << args[1];
        EXPECT_EQ(out.str().rfind(c.out, 0), 0u) << out.str();
        const std::string said = err.str();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), c.err != nullptr) << said;
        if (c.err != nullptr) {
            EXPECT_NE(said.find(c.err), std::string::npos) << said;
        }
    }
    const char* run[] = {"kq3d-clock", "--headless"};
    host::ShellOptions options;
    std::ostringstream out, err;
    int status = -1;
    EXPECT_FALSE(host::ReadShellCommandLine(2, run, &options, out, err, &status));
    EXPECT_TRUE(options.headless);
}

// Every row's range and default reach --help, in lines that fit 80 columns.
TEST(ShellOptions, HelpTellsEachOptionsRangeAndDefaultWithinEightyColumns) {
    std::ostringstream help;
    host::WriteHelp(help, "kq3d-clock", host::ShellProgramText(),
                    host::OptionTableWords(host::ShellOptionTable()));
    const std::string text = help.str();
    for (const char* says :
         {"  --scale K              window pixels per screen pixel (1 to 16; default: 2)\n",
          "  --headless             no window, even where one could be opened\n",
          "(0 to 4294967295; default: 0)", "  2  wrong usage"}) {
        EXPECT_NE(text.find(says), std::string::npos) << says;
    }
    std::istringstream lines(text);
    size_t widest = 0;
    for (std::string line; std::getline(lines, line);)
        widest = std::max(widest, line.size());
    EXPECT_LE(widest, 80u);
}

// The picture is read back by the clock's run test; failed writes and targets
// that are not plain files: the texture tool's tests (the same writer).
TEST(Screenshot, ExpandsEachPixelAndRefusesWhatItCannotWrite) {
    uint8_t rgb[3];
    host::ExpandPixel(0x8410, rgb); // r 16, g 32, b 16: the top bits repeat below
    EXPECT_EQ(rgb[0], 0x84);
    EXPECT_EQ(rgb[1], 0x82);
    EXPECT_EQ(rgb[2], 0x84);
    std::string error;
    EXPECT_FALSE(host::WriteScreenshot("no/such/folder/x.png", &error));
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(host::ScreenSetUp({240, 320, 1, 120, 4, 0}));
    EXPECT_FALSE(host::WriteScreenshot("screenshot_test.png", &error));
    host::ScreenSetUp(host::DefaultScreenProperties());
}

} // namespace
