// The platform tests replace the non-throwing allocation so that a chosen
// object size can be refused: the App's owned objects are allocated that way.
#pragma once
#include <cstddef>

extern std::size_t refuseNothrowNewOfSize; // 0: refuse nothing

// Refuses only the ordinal-th request of that size (1 for the first) from
// now on; objects of equal size (on a 32-bit build the device's window record
// and the Display) are told apart by the order they are allocated in.
void RefuseNthNothrowNewOfSize(std::size_t size, int ordinal);
