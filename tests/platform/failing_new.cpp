#include "failing_new.h"

#include <new>

std::size_t refuseNothrowNewOfSize = 0;

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (refuseNothrowNewOfSize != 0 && size == refuseNothrowNewOfSize) return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}
