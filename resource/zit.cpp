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
