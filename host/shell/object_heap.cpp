// Replaces the non-throwing allocation of the C++ runtime in the device's
// executable: the program creates its objects that way and tests the result.
#include "host/shell/object_heap.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace host {
namespace {

std::atomic<uint64_t> requests{0};
std::atomic<uint64_t> failures{0};
uint64_t failAtRequest = 0;
uint64_t failAfterRequest = 0;

} // namespace

void ObjectHeapSetFaults(uint64_t failAt, uint64_t failAfter) {
    failAtRequest = failAt;
    failAfterRequest = failAfter;
}

uint64_t ObjectHeapRequests() {
    return requests;
}

uint64_t ObjectHeapFailures() {
    return failures;
}

} // namespace host

namespace {

void* Allocate(std::size_t size) noexcept {
    const uint64_t request = ++host::requests;
    if ((host::failAtRequest != 0 && request == host::failAtRequest) ||
        (host::failAfterRequest != 0 && request > host::failAfterRequest)) {
        ++host::failures;
        return nullptr;
    }
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

} // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
