// The device's C runtime pseudo-random generator: a linear congruential
// generator, state = state * 214013 + 2531011 (mod 2^32), each call giving
// (state >> 16) & 0x7FFF. It starts at state 1 and the program never seeds it.
#pragma once
#include <cstdint>

namespace host {

int Rand();
void SeedRand(uint32_t state); // tests only: the device starts at 1

} // namespace host
