#include "host/screen_digest.h"

#include "host/screen.h"

namespace host {
namespace {

constexpr uint32_t kFnvOffsetBasis = 2166136261u;
constexpr uint32_t kFnvPrime = 16777619u;

uint32_t Mix(uint32_t hash, uint32_t byte) {
    return (hash ^ byte) * kFnvPrime;
}

} // namespace

uint32_t ScreenDigest() {
    if (!ScreenIs16Bit()) return 0;
    const GXDisplayProperties& screen = ScreenProperties();
    const int32_t width = static_cast<int32_t>(screen.width);
    const int32_t height = static_cast<int32_t>(screen.height);
    uint32_t hash = kFnvOffsetBasis;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint16_t pixel = ScreenPixel(x, y);
            hash = Mix(hash, pixel & 0xFFu);
            hash = Mix(hash, pixel >> 8);
        }
    }
    return hash;
}

std::string DigestText(uint32_t digest) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, digest >>= 4)
        text[static_cast<size_t>(i)] = kDigits[digest & 0xFu];
    return text;
}

} // namespace host
