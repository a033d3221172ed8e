// The device's local heap: small blocks that can be grown (moved) and whose
// size can be asked for. Tests can make requests fail.
#pragma once
#include <cstddef>
#include <cstdint>

namespace host {

void* LocalAlloc(size_t bytes);
// Grows or shrinks a block; the block may move. Null when it cannot, and the
// old block stays as it was.
void* LocalReAlloc(void* block, size_t bytes);
size_t LocalSize(const void* block);
void LocalFree(void* block);

// Failure injection, counted over LocalAlloc and LocalReAlloc together: the
// k-th request fails (0: none); every request after the k-th fails (0: none).
void LocalHeapSetFaults(uint64_t failAt, uint64_t failAfter);
void LocalHeapResetCount();

} // namespace host
