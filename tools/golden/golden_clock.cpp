// The clock's golden frames: the whole screen after chosen frames of runs at
// fixed times of day. The camera's random choices start from the device's
// first generator state, so frame numbers pick camera states: the title page,
// the first scene frame, a hold, a wobble, turns about Y and X seen nearly
// edge-on, a swing, the zoom pulse at its nearest, a light sweep, and a long
// run.
#include "demo/clock_app.h"
#include "golden_frames.h"
#include "host/clock.h"
#include "host/debug_output.h"
#include "host/device.h"
#include "host/module.h"
#include "host/random.h"
#include "host/screen.h"
#include "resource/file.h"
#include "resource/zit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

struct ClockRun {
    uint16_t hour, minute, second;
    std::vector<int32_t> frames; // ascending
};

const ClockRun kRuns[] = {
    {10, 8, 30, {1, 11, 30, 92, 340, 387, 491, 654, 724, 850, 1000, 1575, 5000}},
    {3, 0, 40, {60}},      // wobble
    {6, 30, 0, {250}},     // swing
    {23, 59, 57, {150}},   // the hands close together
    {12, 0, 0, {491, 571}} // the zoom at its nearest
};

// Texels that all differ, none 0: a texel read from the wrong place shows.
uint16_t Scrambled(uint32_t k, uint32_t salt) {
    return static_cast<uint16_t>((((k + salt) * 2654435761u) >> 11) | 0x0821);
}

void WriteZit(const std::filesystem::path& path, uint16_t width, uint16_t height, uint32_t salt) {
    std::string bytes(kZitHeaderBytes, '\0');
    ZitWriteHeader(reinterpret_cast<uint8_t*>(bytes.data()), {width, height});
    for (uint32_t k = 0; k < uint32_t{width} * height; ++k) {
        const uint16_t texel = Scrambled(k, salt);
        bytes += static_cast<char>(texel & 0xFF);
        bytes += static_cast<char>(texel >> 8);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

std::filesystem::path MakeRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kq3d-golden-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

} // namespace

void AddScreen(PixelDigest& digest) {
    const GXDisplayProperties& p = host::ScreenProperties();
    const uint8_t* origin = host::ScreenOrigin();
    for (int64_t y = 0; y < p.height; ++y) {
        for (int64_t x = 0; x < p.width; ++x) {
            uint16_t pixel;
            std::memcpy(&pixel, origin + x * p.xPitch + y * p.yPitch, 2);
            digest.Add(pixel);
        }
    }
}

std::vector<GoldenDigest> ClockGoldenDigests() {
    std::vector<GoldenDigest> digests;
    const std::filesystem::path root = MakeRoot();
    if (root.empty()) return digests;
    WriteZit(root / "hana01.zit", 128, 128, 1);
    WriteZit(root / "yama01.zit", 240, 240, 2);
    WriteZit(root / "title01.zit", 40, 240, 3);
    host::SetDebugToStderr(false);
    host::SetDeviceRoot(root.string());
    host::SetModuleFileName(u"\\kq3d-clock");
    FileInitDirectory();
    StartAllocatorOnce();

    for (const ClockRun& run : kRuns) {
        host::DeviceReset();
        host::SeedRand(1);
        host::SetLocalTimeFixed(
            host::SystemTime{2004, 6, 2, 1, run.hour, run.minute, run.second, 0});
        static int instance;
        ClockApp app(&instance, 240, 240, u"test");
        app.SetUpScene();
        int32_t frame = 0;
        for (int32_t wanted : run.frames) {
            for (; frame < wanted; ++frame)
                app.OnFrame();
            char name[64];
            std::snprintf(name, sizeof name, "clock %02d:%02d:%02d frame %d", run.hour, run.minute,
                          run.second, wanted);
            PixelDigest digest;
            AddScreen(digest);
            digests.push_back({name, digest.Value()});
        }
    }

    host::SetLocalTimeReal();
    host::DeviceReset();
    host::SetModuleFileName(nullptr);
    host::SetDeviceRoot("");
    host::SetDebugToStderr(true);
    std::filesystem::remove_all(root);
    return digests;
}
