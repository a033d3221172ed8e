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
#include "resource/zit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

// The pictures' texels: every background pixel tells where it came from (red
// from the column, blue from the row, green full, never grey); the ball's
// texture is pure magenta (no green), the title strip one blue.
inline uint16_t BackgroundTexel(int32_t x, int32_t y) {
    return static_cast<uint16_t>((x & 15) << 11 | 0x07E0 | (y & 31));
}
constexpr uint16_t kFlowerTexel = 0xF81F;
constexpr uint16_t kTitleTexel = 0x001F;

// A ".zit" file whose texels come from texel(x, y).
template <class Texel>
std::string ZitBytes(uint16_t width, uint16_t height, Texel texel) {
    std::string bytes(kZitHeaderBytes, '\0');
    ZitWriteHeader(reinterpret_cast<uint8_t*>(bytes.data()), {width, height});
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            bytes += static_cast<char>(texel(x, y) & 0xFF);
            bytes += static_cast<char>(texel(x, y) >> 8);
        }
    }
    return bytes;
}
inline auto Plain(uint16_t texel) {
    return [texel](int32_t, int32_t) { return texel; };
}

inline host::SystemTime TimeOfDay(uint16_t hour, uint16_t minute, uint16_t second) {
    return host::SystemTime{2004, 6, 2, 1, hour, minute, second, 0};
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
            [](const char16_t* text, void* lines) {
                static_cast<std::vector<std::u16string>*>(lines)->push_back(text);
            },
            &lines_);
        // Once only: a fresh level 0 would free blocks that outlive a test.
        static const bool started = (MemoryInit(), MemoryLevelSetup(1024, 0), true);
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
        std::ofstream(root_ / name, std::ios::binary) << bytes;
    }
    // The three pictures in the sizes the clock asks for.
    void WritePictures() {
        WritePicture("hana01.zit", ZitBytes(16, 16, Plain(kFlowerTexel)));
        WritePicture("yama01.zit", ZitBytes(240, 240, BackgroundTexel));
        WritePicture("title01.zit", ZitBytes(40, 240, Plain(kTitleTexel)));
    }
    // The application as main makes it, set up.
    ClockApp& StartApp() {
        static int instance;
        app_ = std::make_unique<ClockApp>(&instance, 240, 240, u"test");
        app_->SetUpScene();
        return *app_;
    }
    void Frames(int32_t count) {
        for (int32_t i = 0; i < count; ++i)
            app_->OnFrame();
    }
    bool HasLine(const std::u16string& line) const {
        return std::find(lines_.begin(), lines_.end(), line + u"\r\n") != lines_.end();
    }

    std::filesystem::path root_;
    std::vector<std::u16string> lines_;
    std::unique_ptr<ClockApp> app_;
};
