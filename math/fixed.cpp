// Square roots of Fixed numbers.
#include "math/fixed.h"

#include <cstdint>

// Integer Newton iteration from a power of two not below the root. The guess
// never falls below 1, so the division is always defined.
uint32_t FixSqrt(uint32_t a) {
    if (a == 0) return 0;
    uint32_t guess = 1;
    uint32_t t = a;
    while (guess < t) {
        guess <<= 1;
        t >>= 1;
    }
    for (;;) {
        const uint32_t next = (guess + a / guess) >> 1;
        if (next >= guess) break;
        guess = next;
    }
    return guess << 8;
}

Fixed FixInvSqrt(Fixed a) {
    if (a == 0) return 0;
    return FixDiv(static_cast<Fixed>(FixSqrt(static_cast<uint32_t>(a))), a);
}
