#include "resource/zit.h"

#include <cstring>

bool ZitReadHeader(const uint8_t* bytes, uint64_t size, ZitHeader* header) {
    if (bytes == nullptr || size < kZitHeaderBytes) return false;
    header->width = static_cast<uint16_t>(bytes[8] | (bytes[9] << 8));
    header->height = static_cast<uint16_t>(bytes[10] | (bytes[11] << 8));
    return true;
}

void ZitWriteHeader(uint8_t* bytes, const ZitHeader& header) {
    std::memset(bytes, 0, kZitHeaderBytes);
    bytes[8] = static_cast<uint8_t>(header.width);
    bytes[9] = static_cast<uint8_t>(header.width >> 8);
    bytes[10] = static_cast<uint8_t>(header.height);
    bytes[11] = static_cast<uint8_t>(header.height >> 8);
}

uint64_t ZitFileBytes(const ZitHeader& header) {
    return kZitHeaderBytes + 2 * uint64_t{header.width} * uint64_t{header.height};
}

bool ZitHoldsTexels(const ZitHeader& header, uint64_t size) {
    return size >= ZitFileBytes(header);
}

namespace {

// What loading takes: the file's block (its bytes and 16 more) and the
// texels of every shade level.
uint64_t LoadBytes(uint64_t fileBytes, uint64_t texels, int levelBits) {
    return fileBytes + kZitHeaderBytes + (uint64_t{1} << levelBits) * 2 * texels;
}

int LevelBitsOrZero(int levelBits) {
    return levelBits >= 0 && levelBits <= 8 ? levelBits : 0;
}

} // namespace

ZitRefusal ZitCheck(const uint8_t* bytes, uint64_t size, int levelBits, ZitHeader* header) {
    if (!ZitReadHeader(bytes, size, header)) return ZitRefusal::noHeader;
    return ZitCheckHeader(*header, size, levelBits);
}

ZitRefusal ZitCheckHeader(const ZitHeader& header, uint64_t size, int levelBits) {
    if (size < kZitHeaderBytes) return ZitRefusal::noHeader;
    if (!ZitHoldsTexels(header, size)) return ZitRefusal::shortTexels;
    if (header.width == 0 || header.height == 0) return ZitRefusal::noTexels;
    const uint64_t texels = uint64_t{header.width} * header.height;
    if (LoadBytes(size, texels, LevelBitsOrZero(levelBits)) > kZitDeviceBytes - kZitReservedBytes)
        return ZitRefusal::tooLarge;
    return ZitRefusal::none;
}

uint64_t ZitMaxTexels(int levelBits) {
    const uint64_t levels = uint64_t{1} << LevelBitsOrZero(levelBits);
    // The file of n texels is 16 + 2n bytes: 32 + 2n + levels x 2n in all.
    return (kZitDeviceBytes - kZitReservedBytes - 2 * kZitHeaderBytes) / (2 * (levels + 1));
}
