#include "failing_new.h"

#include <new>

std::size_t refuseNothrowNewOfSize = 0;

namespace {

int refusedOrdinal = 0; // 0: every request of the size
int requestsOfSize = 0;

} // namespace

void RefuseNthNothrowNewOfSize(std::size_t size, int ordinal) {
    refuseNothrowNewOfSize = size;
    refusedOrdinal = ordinal;
    requestsOfSize = 0;
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (refuseNothrowNewOfSize != 0 && size == refuseNothrowNewOfSize &&
        (refusedOrdinal == 0 || ++requestsOfSize == refusedOrdinal))
        return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}
