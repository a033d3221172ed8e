// The tracked allocator: up to 16 levels of live blocks over the device's raw
// heap. A header in front of every block finds its level and table slot in
// constant time, a live mark catches frees of foreign or freed pointers, and
// guard bytes behind the user area catch writes past its end.
#pragma once
#include <cstdint>

constexpr int kMemoryLevels = 16;

void MemoryInit();
int32_t MemoryExit();
void MemoryLevelSetup(int32_t capacity, int32_t level);
void MemoryLevelRelease(int32_t level);
void MemoryLevelFreeAll(int32_t level);
int32_t MemoryLevelCount(int32_t level);
void* MemoryAlloc(int32_t size, int32_t level, uint32_t alignment);
void* MemoryAllocZero(int32_t size, int32_t level, uint32_t alignment);
void MemoryFree(void* pointer);

// Live blocks over all levels and the sum of their sizes; read only.
extern const int32_t& allocCount;
extern const int32_t& allocBytes;
