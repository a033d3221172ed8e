// The setting of the clock tests: a fresh device whose root folder holds
// small pictures of known colours under the three texture names, a started
// allocator, a fixed local time, the device's generator back at its start,
// and the debug lines collected.
#pragma once
#include "demo/clock_app.h"
#include "host/clock.h"
#include "host/debug_output.h"
#include "host/device.h"
#include "host/module.h"
#include "host/random.h"
#include "host/screen.h"
#include "resource/file.h"
#include "resource/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The pictures' texels: the background's green channel is always full, its
// red (at most half) and blue follow the column and row, so every background
// pixel tells where it came from and none is grey; the ball's texture is pure
// magenta (no green), the title strip one blue.
inline uint16_t BackgroundTexel(int32_t x, int32_t y) {
    return static_cast<uint16_t>((x & 15) << 11 | 0x07E0 | (y & 31));
}
constexpr uint16_t kFlowerTexel = 0xF81F;
constexpr uint16_t kTitleTexel = 0x001F;

// A ".zit" file: 16 header bytes (width at 8, height at 10), then the texels.
inline std::string ZitBytes(int32_t width, int32_t height,
                            const std::function<uint16_t(int32_t, int32_t)>& texel) {
    std::string bytes(16, '\0');
    bytes[8] = static_cast<char>(width & 0xFF);
    bytes[9] = static_cast<char>(width >> 8);
    bytes[10] = static_cast<char>(height & 0xFF);
    bytes[11] = static_cast<char>(height >> 8);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint16_t value = texel(x, y);
            bytes.push_back(static_cast<char>(value & 0xFF));
            bytes.push_back(static_cast<char>(value >> 8));
        }
    }
    return bytes;
}

inline host::SystemTime TimeOfDay(uint16_t hour, uint16_t minute, uint16_t second) {
    host::SystemTime time{};
    time.year = 2004;
    time.month = 6;
    time.day = 1;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    return time;
}

// The screen pixel showing frame pixel (column x, row y): the frame sits at
// logical (40, 0) and is turned a quarter turn onto the portrait screen.
inline uint16_t FramePixelOnScreen(int32_t x, int32_t y) {
    return host::ScreenPixel(y, 279 - x);
}

class ClockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kq3d-clock-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        host::DeviceReset();
        host::SetDeviceRoot(root_.string());
        host::SetModuleFileName(u"\\kq3d-clock");
        host::SeedRand(1);
        host::SetLocalTimeFixed(TimeOfDay(3, 0, 40));
        host::SetDebugToStderr(false);
        host::SetDebugListener(
            [](const char16_t* text, void* context) {
                static_cast<std::vector<std::u16string>*>(context)->push_back(text);
            },
            &lines_);
        static const bool started = [] {
            MemoryInit();
            MemoryLevelSetup(1024, 0);
            return true;
        }();
        (void)started;
        FileInitDirectory();
    }

    void TearDown() override {
        app_.reset();
        host::SetDebugListener(nullptr, nullptr);
        host::SetDebugToStderr(true);
        host::SetLocalTimeReal();
        host::SetModuleFileName(nullptr);
        host::SetDeviceRoot("");
        host::DeviceReset();
        std::filesystem::remove_all(root_);
    }

    void WritePicture(const std::string& name, const std::string& bytes) {
        std::ofstream out(root_ / name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    // The three pictures in the sizes the clock asks for.
    void WritePictures() {
        WritePicture("hana01.zit", ZitBytes(16, 16, [](int32_t, int32_t) { return kFlowerTexel; }));
        WritePicture("yama01.zit", ZitBytes(240, 240, BackgroundTexel));
        WritePicture("title01.zit",
                     ZitBytes(40, 240, [](int32_t, int32_t) { return kTitleTexel; }));
    }

    // The application as main makes it, set up.
    ClockApp& StartApp() {
        app_ = std::make_unique<ClockApp>(&instance_, 240, 240, u"test");
        app_->SetUpScene();
        return *app_;
    }

    void SkipIntro(int32_t frames = 10) {
        for (int32_t i = 0; i < frames; ++i)
            app_->OnFrame();
    }

    bool HasLine(const std::u16string& line) const {
        for (const auto& l : lines_) {
            if (l == line + u"\r\n") return true;
        }
        return false;
    }

    static int instance_;
    std::filesystem::path root_;
    std::vector<std::u16string> lines_;
    std::unique_ptr<ClockApp> app_;
};

inline int ClockTest::instance_;
