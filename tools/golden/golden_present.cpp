// The presenter's golden screens: frame buffers of even and odd sizes
// presented at several places, rectangle copies and fills, on turned and
// straight screens whose pitches are even, odd in pixels, odd in bytes, or
// negative.
#include "golden_frames.h"
#include "host/gx.h"
#include "host/screen.h"
#include "platform/display.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct ScreenCase {
    const char* name;
    GXDisplayProperties properties;
};

const ScreenCase kScreens[] = {
    {"turned 480", {240, 320, 2, 480, 16, 0}},
    {"turned 482", {240, 320, 2, 482, 16, 0}},
    {"turned 481", {240, 320, 2, 481, 16, 0}},
    {"turned -480", {240, 320, 2, -480, 16, 0}},
    {"turned 250x330 502", {250, 330, 2, 502, 16, 0}},
    {"straight 640", {240, 320, 640, -2, 16, kGXLandscape}},
    {"straight 642", {240, 320, 642, -2, 16, kGXLandscape}},
    {"straight 641", {240, 320, 641, -2, 16, kGXLandscape}},
};

// Frame sizes and where they are placed (logical x, y).
const int32_t kFrames[][4] = {{240, 240, 40, 0}, {237, 229, 3, 5}, {17, 9, 300, 231}, {8, 8, 0, 0}};

uint16_t Pattern(int32_t k, int32_t salt) {
    return static_cast<uint16_t>(((k + salt) * 2654435761u) >> 9);
}

// Every byte of the screen memory, the gaps between rows included, so a
// write between the pixels shows too.
void AddScreenMemory(PixelDigest& digest) {
    const GXDisplayProperties& p = host::ScreenProperties();
    const int64_t lastX = static_cast<int64_t>(p.width - 1) * p.xPitch;
    const int64_t lastY = static_cast<int64_t>(p.height - 1) * p.yPitch;
    const int64_t low = std::min<int64_t>(0, lastX) + std::min<int64_t>(0, lastY);
    const int64_t high = std::max<int64_t>(0, lastX) + std::max<int64_t>(0, lastY) + 2;
    const uint8_t* origin = host::ScreenOrigin();
    for (int64_t at = low; at < high; ++at)
        digest.AddByte(origin[at]);
}

int windowStandIn;

} // namespace

std::vector<GoldenDigest> PresenterGoldenDigests() {
    std::vector<GoldenDigest> digests;
    std::vector<uint16_t> image(41 * 240);
    for (size_t k = 0; k < image.size(); ++k)
        image[k] = Pattern(static_cast<int32_t>(k), 5);
    for (const ScreenCase& screen : kScreens) {
        host::GxReset();
        if (!host::ScreenSetUp(screen.properties)) continue;
        Display display(reinterpret_cast<host::WindowHandle>(&windowStandIn));

        PixelDigest presents;
        for (const auto& frame : kFrames) {
            if (DisplayCreateFrameBuffer(&display, frame[0], frame[1]) == nullptr) continue;
            for (int32_t k = 0; k < frame[0] * frame[1]; ++k)
                display.frameBuffer[k] = Pattern(k, frame[0]);
            DisplayPlace(&display, frame[2], frame[3]);
            DisplayPresent(&display);
            AddScreenMemory(presents);
        }
        digests.push_back({std::string("present ") + screen.name, presents.Value()});

        PixelDigest rectangles;
        DisplayCopyRect(&display, 280, 0, 40, 240, image.data(), 41);
        AddScreenMemory(rectangles);
        DisplayCopyRect(&display, 100, 17, 37, 53, image.data() + 3, 41);
        AddScreenMemory(rectangles);
        DisplayCopyRect16(&display, 11, 150, 29, 61, image.data() + 1, 41);
        AddScreenMemory(rectangles);
        DisplayFillRect(&display, 13, 7, 33, 21, 0xBEEF);
        AddScreenMemory(rectangles);
        DisplayFillRect(&display, 0, 0, display.width, display.height, 0);
        AddScreenMemory(rectangles);
        digests.push_back({std::string("rectangles ") + screen.name, rectangles.Value()});
    }
    host::GxReset();
    host::ScreenSetUp(host::DefaultScreenProperties());
    return digests;
}
