// Pseudo-random helpers over the device's generator, which is never seeded.
#include "host/random.h"
#include "math/fixed.h"

// One draw per call; for 1 <= n <= 65538 the product cannot overflow.
int RandomBelow(int n) {
    return (n * (host::Rand() & 0x7FFF)) >> 15;
}

int RandomEven() {
    return (host::Rand() & 0x3FFF) << 1;
}
