#include "host/local_heap.h"

#include <cstdlib>
#include <cstring>

namespace host {
namespace {

struct alignas(std::max_align_t) LocalPrefix {
    size_t bytes;
};

uint64_t requests = 0;
uint64_t failAtRequest = 0;
uint64_t failAfterRequest = 0;

bool Refused() {
    ++requests;
    return (failAtRequest != 0 && requests == failAtRequest) ||
           (failAfterRequest != 0 && requests > failAfterRequest);
}

} // namespace

void* LocalAlloc(size_t bytes) {
    if (Refused()) return nullptr;
    auto* prefix = static_cast<LocalPrefix*>(std::calloc(1, sizeof(LocalPrefix) + bytes));
    if (prefix == nullptr) return nullptr;
    prefix->bytes = bytes;
    return prefix + 1;
}

void* LocalReAlloc(void* block, size_t bytes) {
    if (block == nullptr) return LocalAlloc(bytes);
    if (Refused()) return nullptr;
    auto* old = static_cast<LocalPrefix*>(block) - 1;
    auto* grown = static_cast<LocalPrefix*>(std::malloc(sizeof(LocalPrefix) + bytes));
    if (grown == nullptr) return nullptr;
    const size_t kept = old->bytes < bytes ? old->bytes : bytes;
    std::memcpy(grown + 1, old + 1, kept);
    if (bytes > kept) std::memset(reinterpret_cast<char*>(grown + 1) + kept, 0, bytes - kept);
    grown->bytes = bytes;
    std::free(old);
    return grown + 1;
}

size_t LocalSize(const void* block) {
    return block == nullptr ? 0 : (static_cast<const LocalPrefix*>(block) - 1)->bytes;
}

void LocalFree(void* block) {
    if (block != nullptr) std::free(static_cast<LocalPrefix*>(block) - 1);
}

void LocalHeapSetFaults(uint64_t failAt, uint64_t failAfter) {
    failAtRequest = failAt;
    failAfterRequest = failAfter;
}

void LocalHeapResetCount() {
    requests = 0;
}

} // namespace host
