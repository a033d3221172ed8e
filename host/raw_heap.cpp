#include "host/raw_heap.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace host {
namespace {

// Every block carries its size in front, so the budget can be kept exact.
struct alignas(std::max_align_t) BlockPrefix {
    size_t bytes;
};

std::mutex heapMutex;
size_t budget = kDefaultMemoryBytes;
size_t inUse = 0;
size_t blocksInUse = 0;
uint64_t requests = 0;
uint64_t failures = 0;
RawHeapFaults faults;
bool holdFreed = false;
std::vector<BlockPrefix*> heldBlocks;

} // namespace

void* RawAlloc(size_t bytes) {
    std::lock_guard<std::mutex> lock(heapMutex);
    ++requests;
    const bool injected = (faults.failAt != 0 && requests == faults.failAt) ||
                          (faults.failAfter != 0 && requests > faults.failAfter);
    if (injected || bytes > budget - inUse) {
        ++failures;
        return nullptr;
    }
    auto* prefix = static_cast<BlockPrefix*>(std::malloc(sizeof(BlockPrefix) + bytes));
    if (prefix == nullptr) {
        ++failures;
        return nullptr;
    }
    prefix->bytes = bytes;
    inUse += bytes;
    ++blocksInUse;
    return prefix + 1;
}

void RawFree(void* block) {
    if (block == nullptr) return;
    std::lock_guard<std::mutex> lock(heapMutex);
    auto* prefix = static_cast<BlockPrefix*>(block) - 1;
    inUse -= prefix->bytes;
    --blocksInUse;
    if (holdFreed) {
        heldBlocks.push_back(prefix);
    } else {
        std::free(prefix);
    }
}

void RawHeapSetFaults(const RawHeapFaults& f) {
    std::lock_guard<std::mutex> lock(heapMutex);
    faults = f;
}

void RawHeapResetCount() {
    std::lock_guard<std::mutex> lock(heapMutex);
    requests = 0;
    failures = 0;
}

uint64_t RawHeapRequests() {
    std::lock_guard<std::mutex> lock(heapMutex);
    return requests;
}

uint64_t RawHeapFailures() {
    std::lock_guard<std::mutex> lock(heapMutex);
    return failures;
}

void RawHeapSetBudget(size_t bytes) {
    std::lock_guard<std::mutex> lock(heapMutex);
    budget = bytes;
}

size_t RawHeapBytesInUse() {
    std::lock_guard<std::mutex> lock(heapMutex);
    return inUse;
}

size_t RawHeapBlocksInUse() {
    std::lock_guard<std::mutex> lock(heapMutex);
    return blocksInUse;
}

void RawHeapHoldFreed(bool on) {
    std::lock_guard<std::mutex> lock(heapMutex);
    holdFreed = on;
    if (on) return;
    for (BlockPrefix* prefix : heldBlocks)
        std::free(prefix);
    heldBlocks.clear();
}

} // namespace host
