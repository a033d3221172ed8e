// Resource stage, memory: the layout of a tracked block, as the allocator
// builds it and reads it back.
//
// raw block: header | gap (alignments above the header's) | back-pointer word |
//            user area (size bytes) | guard (4 bytes) | slack
//
// The back-pointer word is the header's last field when the user area follows
// the header directly; otherwise it sits at the end of the gap. Either way it
// is the word right in front of the user area, which is how a free finds the
// header.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// Pointer-sized fields are parameters so the device's 32-bit form can be
// checked on any host.
template <typename SlotPointer, typename Word>
struct BasicMemoryBlockHeader {
    SlotPointer slot; // the level-table slot that holds this block's address
    int32_t size;     // user size as requested
    uint16_t mark;    // kMemoryLiveMark or kMemoryFreedMark
    uint8_t level;
    uint8_t unused;   // never written
    Word backPointer; // the back-pointer word when no gap follows
};

using MemoryBlockHeader = BasicMemoryBlockHeader<void**, void*>;

// On the device: 16 bytes, the user area at raw block + 16 for alignment 4.
static_assert(sizeof(BasicMemoryBlockHeader<uint32_t, uint32_t>) == 16,
              "the device's block header is four 32-bit words");
static_assert(offsetof(MemoryBlockHeader, backPointer) + sizeof(void*) == sizeof(MemoryBlockHeader),
              "the back-pointer word ends the header");
static_assert(sizeof(void*) != 4 || sizeof(MemoryBlockHeader) == 16,
              "on a 32-bit machine the header is exactly 16 bytes");

// Header and back-pointer together: the smallest distance from the raw block
// to the user area.
constexpr size_t kMemoryHeaderBytes = sizeof(MemoryBlockHeader);

constexpr uint16_t kMemoryLiveMark = 0x4375;
constexpr uint16_t kMemoryFreedMark = 0x5124;
constexpr unsigned char kMemoryLiveGuard[4] = {'d', '7', 'h', 'V'};
constexpr unsigned char kMemoryFreedGuard[4] = {0x2D, 0x40, 0x74, 0x59};

// The header a user pointer's back-pointer word names. The word need not be
// aligned for a pointer (alignment 4 on a 64-bit host).
inline MemoryBlockHeader* MemoryBlockOf(const void* user) {
    void* raw;
    std::memcpy(&raw, static_cast<const unsigned char*>(user) - sizeof(void*), sizeof(raw));
    return static_cast<MemoryBlockHeader*>(raw);
}
