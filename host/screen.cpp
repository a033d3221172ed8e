#include "host/screen.h"

#include <algorithm>
#include <memory>
#include <new>

namespace host {
namespace {

struct Screen {
    GXDisplayProperties properties{};
    std::unique_ptr<uint16_t[]> memory;
    uint8_t* origin = nullptr;
    uint64_t generation = 0;
};

Screen& TheScreen();

bool Allocate(Screen& screen, const GXDisplayProperties& p) {
    if (p.width == 0 || p.height == 0 || p.width > 4096 || p.height > 4096) return false;
    if (p.bitsPerPixel <= 0 || p.bitsPerPixel > 32) return false;
    if (p.xPitch < -16384 || p.xPitch > 16384 || p.yPitch < -131072 || p.yPitch > 131072)
        return false;
    // The corners give the extent of the memory whatever the pitches' signs.
    const int64_t lastX = static_cast<int64_t>(p.width - 1) * p.xPitch;
    const int64_t lastY = static_cast<int64_t>(p.height - 1) * p.yPitch;
    const int64_t low = std::min<int64_t>(0, lastX) + std::min<int64_t>(0, lastY);
    const int64_t high = std::max<int64_t>(0, lastX) + std::max<int64_t>(0, lastY);
    const int64_t pixelBytes = std::max<int64_t>(2, (p.bitsPerPixel + 7) / 8);
    const int64_t bytes = high - low + pixelBytes;
    const size_t units = static_cast<size_t>((bytes + 1) / 2);
    std::unique_ptr<uint16_t[]> memory(new (std::nothrow) uint16_t[units]());
    if (!memory) return false;
    screen.memory = std::move(memory);
    screen.origin = reinterpret_cast<uint8_t*>(screen.memory.get()) - low;
    screen.properties = p;
    ++screen.generation;
    return true;
}

Screen& TheScreen() {
    static Screen screen;
    if (!screen.memory) Allocate(screen, DefaultScreenProperties());
    return screen;
}

uint16_t* PixelAddress(int32_t x, int32_t y) {
    Screen& screen = TheScreen();
    const GXDisplayProperties& p = screen.properties;
    if (p.bitsPerPixel != 16 || x < 0 || y < 0 || static_cast<uint32_t>(x) >= p.width ||
        static_cast<uint32_t>(y) >= p.height)
        return nullptr;
    const int64_t offset = static_cast<int64_t>(x) * p.xPitch + static_cast<int64_t>(y) * p.yPitch;
    return reinterpret_cast<uint16_t*>(screen.origin + offset);
}

} // namespace

GXDisplayProperties DefaultScreenProperties() {
    return GXDisplayProperties{240, 320, 2, 480, 16, 0};
}

bool ScreenSetUp(const GXDisplayProperties& properties) {
    return Allocate(TheScreen(), properties);
}

const GXDisplayProperties& ScreenProperties() {
    return TheScreen().properties;
}

uint8_t* ScreenOrigin() {
    return TheScreen().origin;
}

bool ScreenIs16Bit() {
    return TheScreen().properties.bitsPerPixel == 16;
}

uint16_t ScreenPixel(int32_t x, int32_t y) {
    const uint16_t* pixel = PixelAddress(x, y);
    return pixel != nullptr ? *pixel : 0;
}

void ScreenSetPixel(int32_t x, int32_t y, uint16_t value) {
    uint16_t* pixel = PixelAddress(x, y);
    if (pixel != nullptr) *pixel = value;
}

uint64_t ScreenGeneration() {
    return TheScreen().generation;
}

void ScreenTouched() {
    ++TheScreen().generation;
}

} // namespace host
