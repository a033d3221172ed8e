// The engine's own texture files, ".zit": a 16-byte header whose bytes 8-9 and
// 10-11 hold the width and height (16-bit little-endian; the other bytes carry
// nothing), then width x height RGB565 texels, 16-bit little-endian, row by
// row from the top.
#pragma once
#include "host/raw_heap.h"

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

// The device's memory, which holds a loading file's block and its texture's
// texels at once, less what a program keeps besides (its frame buffer, its
// other pictures).
constexpr uint64_t kZitDeviceBytes = host::kDefaultMemoryBytes;
constexpr uint64_t kZitReservedBytes = 1u << 20;

// Why the loader refuses a ".zit" file; none when it loads it.
enum class ZitRefusal {
    none,
    noHeader,    // fewer than 16 bytes
    shortTexels, // fewer bytes than the texels its header promises
    noTexels,    // 0 wide or 0 high: nothing to draw
    tooLarge,    // its block and its texture do not fit the device's memory together
};
// The loader's one rule, which the tools report as well: a file of `size`
// bytes beginning with `bytes`, to be loaded with `levelBits` shade bits (0
// to 8). The header goes to *header when the file holds one.
ZitRefusal ZitCheck(const uint8_t* bytes, uint64_t size, int levelBits, ZitHeader* header);
// The same rule for a file of `size` bytes whose header has been read.
ZitRefusal ZitCheckHeader(const ZitHeader& header, uint64_t size, int levelBits);
// The most texels of a file the loader takes with `levelBits` shade bits.
uint64_t ZitMaxTexels(int levelBits);
