// The device's raw heap: plain blocks of memory, as the operating system hands
// them out. The device has a fixed amount of memory (a budget), and tests can
// make chosen requests fail to reach the callers' out-of-memory paths.
#pragma once
#include <cstddef>
#include <cstdint>

namespace host {

// A block of at least `bytes` bytes, aligned for any object, or null when the
// device has no memory left for it (or a failure was asked for).
void* RawAlloc(size_t bytes);
void RawFree(void* block);

// Failure injection. Requests are counted from 1 since the last reset.
// FailAt(k): the k-th request fails (0: none). FailAfter(k): every request
// after the k-th fails (0: none).
struct RawHeapFaults {
    uint64_t failAt = 0;
    uint64_t failAfter = 0;
};
void RawHeapSetFaults(const RawHeapFaults& faults);
void RawHeapResetCount();
uint64_t RawHeapRequests(); // requests made since the last reset
uint64_t RawHeapFailures(); // requests refused since the last reset

// The device's memory: requests that would pass it are refused.
constexpr size_t kDefaultMemoryBytes = 64u << 20;
void RawHeapSetBudget(size_t bytes);
size_t RawHeapBytesInUse();
size_t RawHeapBlocksInUse();

// On the device a freed block keeps its bytes until the memory is reused.
// While holding is on, freed blocks are counted as free but kept, so tests can
// look at a block after its free (a second free, its stamps); turning holding
// off releases them.
void RawHeapHoldFreed(bool on);

} // namespace host
