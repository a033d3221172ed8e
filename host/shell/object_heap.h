// The device's object allocation, as the program asks for it (new with
// std::nothrow): null when it cannot be had. A run can make chosen requests
// fail to reach the program's paths for a missing object.
#pragma once
#include <cstdint>

namespace host {

// Requests are counted from the start of the process: the k-th fails (0:
// none); every request after the k-th fails (0: none).
void ObjectHeapSetFaults(uint64_t failAt, uint64_t failAfter);
uint64_t ObjectHeapRequests();
uint64_t ObjectHeapFailures();

} // namespace host
