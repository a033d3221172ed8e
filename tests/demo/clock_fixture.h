// The setting of the clock tests: a fresh device whose root folder holds
// small pictures of known colours under the three texture names, a fixed
// local time, and the device's generator back at its start.
#pragma once
#include "../resource/device_fixture.h"
#include "demo/clock_app.h"
#include "host/clock.h"
#include "host/device.h"
#include "host/random.h"
#include "host/screen.h"

#include <memory>

// The pictures' texels: every background pixel tells where it came from (red
// from the column, blue from the row, green full, never grey); the ball's
// texture is pure magenta (no green), the title strip one blue.
inline uint16_t BackgroundTexel(int32_t x, int32_t y) {
    return static_cast<uint16_t>((x & 15) << 11 | 0x07E0 | (y & 31));
}
inline std::string BackgroundZit(uint16_t width) {
    std::vector<uint16_t> texels;
    for (int32_t y = 0; y < 240; ++y) {
        for (int32_t x = 0; x < width; ++x)
            texels.push_back(BackgroundTexel(x, y));
    }
    return ZitBytes(width, 240, texels);
}
constexpr uint16_t kFlowerTexel = 0xF81F;
constexpr uint16_t kTitleTexel = 0x001F;
inline std::string PlainZit(uint16_t width, uint16_t height, uint16_t texel) {
    return ZitBytes(width, height, std::vector<uint16_t>(width * height, texel));
}

inline host::SystemTime TimeOfDay(uint16_t hour, uint16_t minute, uint16_t second) {
    return host::SystemTime{2004, 6, 2, 1, hour, minute, second, 0};
}

// The screen pixel showing frame pixel (column x, row y): the frame sits at
// logical (40, 0) and is turned a quarter turn onto the portrait screen.
inline uint16_t FramePixelOnScreen(int32_t x, int32_t y) {
    return host::ScreenPixel(y, 279 - x);
}

class ClockTest : public DeviceFolderTest {
  protected:
    void SetUp() override {
        DeviceFolderTest::SetUp();
        host::DeviceReset();
        host::SeedRand(1);
        host::SetLocalTimeFixed(TimeOfDay(3, 0, 40));
    }
    void TearDown() override {
        app_.reset();
        host::SetLocalTimeReal();
        host::DeviceReset();
        DeviceFolderTest::TearDown();
    }

    // The three pictures in the sizes the clock asks for.
    void WritePictures() {
        WriteHostFile("hana01.zit", PlainZit(16, 16, kFlowerTexel));
        WriteHostFile("yama01.zit", BackgroundZit(240));
        WriteHostFile("title01.zit", PlainZit(40, 240, kTitleTexel));
    }
    // The application as main makes it, set up.
    ClockApp& StartApp() {
        static int instance;
        app_ = std::make_unique<ClockApp>(&instance, 240, 240, kClockName);
        app_->SetUpScene();
        return *app_;
    }
    void SkipIntro() {
        for (int32_t i = 0; i < 10; ++i)
            app_->OnFrame();
    }

    std::unique_ptr<ClockApp> app_;
};
