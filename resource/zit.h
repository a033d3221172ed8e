// The engine's own texture files, ".zit": a 16-byte header whose bytes 8-9 and
// 10-11 hold the width and height (16-bit little-endian; the other bytes carry
// nothing), then width x height RGB565 texels, 16-bit little-endian, row by
// row from the top.
#pragma once
#include <cstdint>

constexpr uint32_t kZitHeaderBytes = 16;

struct ZitHeader {
    uint16_t width;
    uint16_t height;
};

// False when fewer than the header's 16 bytes are there.
bool ZitReadHeader(const uint8_t* bytes, uint64_t size, ZitHeader* header);
// Writes the 16 header bytes; the bytes the loader ignores become zeros.
void ZitWriteHeader(uint8_t* bytes, const ZitHeader& header);
// 16 + 2 x width x height: the bytes a file needs to hold all its texels.
uint64_t ZitFileBytes(const ZitHeader& header);
bool ZitHoldsTexels(const ZitHeader& header, uint64_t size);
