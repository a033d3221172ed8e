// The clock under damaged pictures and input storms: it draws what it can,
// gives back every block it took, draws only while it has the focus, and
// still ends on Start.
#include "../platform/failing_new.h"
#include "clock_fixture.h"
#include "host/device.h"
#include "host/gx.h"
#include "host/input_storm.h"
#include "platform/startup.h"
#include "resource/texture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

enum class Damage { missing, empty, headerCut, texelsCut, larger, widthZero, heightZero, huge };
constexpr Damage kDamages[] = {Damage::missing,    Damage::empty,  Damage::headerCut,
                               Damage::texelsCut,  Damage::larger, Damage::widthZero,
                               Damage::heightZero, Damage::huge};

void Put16(std::string* bytes, size_t offset, uint32_t value) {
    (*bytes)[offset] = static_cast<char>(value & 0xFF);
    (*bytes)[offset + 1] = static_cast<char>(value >> 8);
}

uint32_t Get16(const std::string& bytes, size_t offset) {
    return static_cast<uint8_t>(bytes[offset]) | static_cast<uint8_t>(bytes[offset + 1]) << 8;
}

std::string Damaged(std::string bytes, Damage damage) {
    switch (damage) {
    case Damage::missing:
    case Damage::empty:
        return std::string();
    case Damage::headerCut:
        return bytes.substr(0, 10);
    case Damage::texelsCut:
        return bytes.substr(0, (bytes.size() + 16) / 2);
    case Damage::larger:
        Put16(&bytes, 10, Get16(bytes, 10) + 1);
        return bytes;
    case Damage::widthZero:
        Put16(&bytes, 8, 0);
        return bytes;
    case Damage::heightZero:
        Put16(&bytes, 10, 0);
        return bytes;
    case Damage::huge:
        Put16(&bytes, 8, 0xFFFF);
        Put16(&bytes, 10, 0xFFFF);
        return bytes;
    }
    return bytes;
}

bool Magenta(uint16_t pixel) {
    return (pixel & 0x07E0) == 0 && (pixel >> 11) != 0 && (pixel & 0x1F) != 0;
}

bool Grey(uint16_t pixel) {
    return pixel != 0 && (pixel >> 11) == (pixel & 0x1F);
}

class ClockReliabilityTest : public ClockTest {
  protected:
    // The device and the files as a fresh start finds them, one picture damaged.
    void Restart(int picture, Damage damage) {
        app_.reset();
        host::DeviceReset();
        lines_.clear();
        WritePictures();
        const char* const names[] = {"hana01.zit", "yama01.zit", "title01.zit"};
        const std::filesystem::path path = root_ / names[picture];
        std::ifstream in(path, std::ios::binary);
        const std::string good((std::istreambuf_iterator<char>(in)), {});
        in.close();
        if (damage == Damage::missing) {
            std::filesystem::remove(path);
        } else {
            WritePicture(names[picture], Damaged(good, damage));
        }
    }
};

TEST_F(ClockReliabilityTest, ADamagedPictureIsLeftOutAndTheRestIsDrawn) {
    for (int picture = 0; picture < 3; ++picture) {
        for (Damage damage : kDamages) {
            SCOPED_TRACE(testing::Message()
                         << "picture " << picture << ", damage " << static_cast<int>(damage));
            Restart(picture, damage);
            const int32_t blocksBefore = allocCount;
            const int32_t bytesBefore = allocBytes;
            ClockApp& app = StartApp();

            // A picture of no texels loads and is not used; every other damage
            // is refused when the file is read.
            const bool noTexels = damage == Damage::widthZero || damage == Damage::heightZero;
            EXPECT_EQ(HasLine(u"ZitLoadError"), !noTexels);
            EXPECT_EQ(TextureFitsBall(app.flowerTexture), picture != 0);
            EXPECT_EQ(TextureFitsBackground(app.backgroundTexture), picture != 1);
            EXPECT_EQ(TextureFitsTitle(app.titleTexture), picture != 2);

            SkipIntro();
            app.OnFrame();
            app.OnFrame();
            // The title strip, the background and the ball's texture each
            // show where their picture is whole.
            EXPECT_EQ(host::ScreenPixel(5, 20), picture != 2 ? kTitleTexel : 0);
            EXPECT_EQ(FramePixelOnScreen(3, 3), picture != 1 ? BackgroundTexel(3, 3) : 0);
            const uint16_t ball = FramePixelOnScreen(140, 100);
            EXPECT_TRUE(picture != 0 ? Magenta(ball) : Grey(ball)) << std::hex << ball;

            // The teardown gives back every picture's block; the renderer's
            // goes with the application.
            app.TearDown();
            EXPECT_EQ(allocCount, blocksBefore + 1);
            app_.reset();
            EXPECT_EQ(allocCount, blocksBefore);
            EXPECT_EQ(allocBytes, bytesBefore);
        }
    }
}

TEST_F(ClockReliabilityTest, WithoutItsWindowOrKeyInputMainRunsNoLoopThatCouldNeverEnd) {
    // No window: no message can reach the program. No key input: no button
    // can end it. Either way main returns instead of looping for ever.
    for (size_t refused : {sizeof(Window), sizeof(KeyInput)}) {
        SCOPED_TRACE(refused);
        Restart(0, Damage::missing);
        host::DeviceSetStartAfterFrames(15);
        refuseNothrowNewOfSize = refused;
        static int instance;
        static char16_t commandLine[] = u"";
        const int result = AppMain(&instance, nullptr, commandLine, 1);
        refuseNothrowNewOfSize = 0;
        EXPECT_EQ(result, 0);
        EXPECT_EQ(host::DeviceFramesCounted(), 0u);
        EXPECT_FALSE(HasLine(u"al:FileOpen[\\yama01.zit]"));
        delete static_cast<ClockApp*>(currentApp);
    }
}

struct StormWatch {
    host::InputStorm storm;
    int lastBeginDraw = 0;
    int passesDrawnInactive = 0;
    int pollsInactiveDuringTitle = 0;
    int pollsInactive = 0;
};
StormWatch watch;

// At every poll: the pass just ended drew (the screen was locked) only if the
// application is active now, since a pass takes its message before it draws;
// then the next burst.
void WatchAndStorm(uint32_t) {
    const auto* app = static_cast<const ClockApp*>(currentApp);
    const int beginDraw = host::GxCallCounts().beginDraw;
    if (app != nullptr) {
        if (beginDraw != watch.lastBeginDraw && app->active != 1) ++watch.passesDrawnInactive;
        if (app->active != 1) {
            ++watch.pollsInactive;
            if (app->introFrames > 0) ++watch.pollsInactiveDuringTitle;
        }
    }
    watch.lastBeginDraw = beginDraw;
    host::InputStormBurst(&watch.storm);
}

TEST_F(ClockReliabilityTest, AnInputStormLeavesTheClockDrawingOnlyWhileActiveAndEndingOnStart) {
    WritePictures();
    watch = StormWatch{};
    host::InputStormStart(&watch.storm, 8000, 16, 3);
    host::DeviceSetPollWork(WatchAndStorm);
    host::DeviceSetStartAfterFrames(200);
    static int instance;
    static char16_t commandLine[] = u"";
    EXPECT_EQ(AppMain(&instance, nullptr, commandLine, 1), 0);
    host::DeviceSetPollWork(nullptr);
    auto* app = static_cast<ClockApp*>(currentApp);
    ASSERT_NE(app, nullptr);

    EXPECT_GE(watch.storm.posted, 8000u);
    EXPECT_GE(host::DeviceFramesCounted(), 200u);
    EXPECT_GT(watch.pollsInactiveDuringTitle, 0); // the focus went during the title frames
    EXPECT_GT(watch.pollsInactive, watch.pollsInactiveDuringTitle);
    EXPECT_EQ(watch.passesDrawnInactive, 0);
    EXPECT_EQ(host::GxCallCounts().beginDrawSuspended, 0);
    EXPECT_EQ(app->flowerTexture, nullptr); // torn down
    delete app;
}

} // namespace
