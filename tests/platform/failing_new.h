// The platform tests replace the non-throwing allocation so that a chosen
// object size can be refused: the App's owned objects are allocated that way.
#pragma once
#include <cstddef>

extern std::size_t refuseNothrowNewOfSize; // 0: refuse nothing
