// The clock under damaged pictures and input storms: it draws what it can,
// gives back every block it took, and draws only while it has the focus.
#include "clock_fixture.h"
#include "host/gx.h"
#include "host/input_storm.h"
#include "platform/startup.h"
#include "resource/texture.h"

#include <filesystem>
#include <optional>

namespace {

// Missing, empty, header cut, texels cut, a header larger than its data, width
// 0, height 0, 65535 x 65535, too small for any use (1 x 1, 2 x 2: too small
// for 16 shade levels), one texel short of the use's width or height.
std::vector<std::optional<std::string>> Damaged(const std::string& good) {
    ZitHeader size{};
    ZitReadHeader(reinterpret_cast<const uint8_t*>(good.data()), good.size(), &size);
    const uint16_t w = size.width, h = size.height;
    const auto with = [&](uint16_t width, uint16_t height) {
        return ZitBytes(width, height, {}) + good.substr(kZitHeaderBytes);
    };
    return {std::nullopt,   "",         good.substr(0, 10), good.substr(0, good.size() / 2),
            with(w, h + 1), with(0, h), with(w, 0),         with(65535, 65535),
            with(1, 1),     with(2, 2), with(w - 1, h),     with(w, h - 1)};
}

TEST_F(ClockTest, ADamagedPictureIsLeftOutAndTheRestIsDrawn) {
    const char* const names[] = {"hana01.zit", "yama01.zit", "title01.zit"};
    for (int picture = 0; picture < 3; ++picture) {
        for (size_t damage = 0; damage < 12; ++damage) {
            SCOPED_TRACE(testing::Message() << names[picture] << ", damage " << damage);
            host::DeviceReset();
            WritePictures();
            const auto bytes = Damaged(ReadHostFile(names[picture]))[damage];
            if (bytes)
                WriteHostFile(names[picture], *bytes);
            else
                std::filesystem::remove(root_ / names[picture]);
            const int32_t blocksBefore = allocCount, bytesBefore = allocBytes;
            lines_.clear();
            ClockApp& app = StartApp();
            EXPECT_EQ(TextureFitsTriangles(app.flowerTexture), picture != 0);
            EXPECT_EQ(TextureFitsBackground(app.backgroundTexture), picture != 1);
            EXPECT_EQ(TextureFitsTitle(app.titleTexture), picture != 2);

            // Said where the picture cannot be loaded, not where it loads but does not fit.
            EXPECT_EQ(lines_.Has(u"ZitLoadError"), damage < 8);
            SkipIntro();
            app.OnFrame();
            app.OnFrame();
            // Each part shows where its picture is whole; a ball without one is grey.
            EXPECT_EQ(host::ScreenPixel(5, 20), picture != 2 ? kTitleTexel : 0);
            EXPECT_EQ(FramePixelOnScreen(3, 3), picture != 1 ? BackgroundTexel(3, 3) : 0);
            const uint16_t ball = FramePixelOnScreen(140, 100);
            EXPECT_NE(ball, 0);
            if (picture != 0) { // magenta, shaded
                EXPECT_EQ(ball & 0x07E0, 0) << std::hex << ball;
                EXPECT_NE(ball >> 11, 0) << std::hex << ball;
            } else { // grey, from the white ramp
                EXPECT_EQ(ball >> 11, ball & 0x1F) << std::hex << ball;
            }

            // The teardown gives back the pictures; the renderer's block goes with the app.
            app.TearDown();
            EXPECT_EQ(allocCount, blocksBefore + 1);
            app_.reset();
            EXPECT_EQ(allocCount, blocksBefore);
            EXPECT_EQ(allocBytes, bytesBefore);
        }
    }
}

TEST_F(ClockTest, AnInputStormLeavesTheClockDrawingOnlyWhileActiveAndEndingOnStart) {
    WritePictures();
    static host::InputStorm storm;
    static int lastBeginDraw, drawnInactive, pollsInactive, pollsInactiveInTitle;
    lastBeginDraw = drawnInactive = pollsInactive = pollsInactiveInTitle = 0;
    host::InputStormStart(&storm, 8000, 16, 3);
    // At each poll: the pass just ended drew only if the app is active now.
    host::DeviceSetPollWork([](uint32_t) {
        const auto* app = static_cast<const ClockApp*>(currentApp);
        const int beginDraw = host::GxCallCounts().beginDraw;
        if (app != nullptr && app->active != 1) {
            drawnInactive += beginDraw != lastBeginDraw;
            ++pollsInactive;
            pollsInactiveInTitle += app->introFrames > 0;
        }
        lastBeginDraw = beginDraw;
        host::InputStormBurst(&storm);
    });
    host::DeviceSetStartAfterFrames(200);
    static int instance;
    static char16_t commandLine[] = u"";
    EXPECT_EQ(AppMain(&instance, nullptr, commandLine, 1), 0);
    auto* app = static_cast<ClockApp*>(currentApp);
    ASSERT_NE(app, nullptr);

    EXPECT_GE(storm.posted, 8000u);
    EXPECT_GE(host::DeviceFramesCounted(), 200u);
    EXPECT_GT(pollsInactiveInTitle, 0); // the focus went during the title frames
    EXPECT_GT(pollsInactive, pollsInactiveInTitle);
    EXPECT_EQ(drawnInactive, 0);
    EXPECT_EQ(host::GxCallCounts().beginDrawSuspended, 0);
    EXPECT_EQ(app->flowerTexture, nullptr); // torn down
    delete app;
}

} // namespace
