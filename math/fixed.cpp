// Quotients and square roots of Fixed numbers.
#include "math/fixed.h"

#include <cstdint>

// Single precision throughout, as on the device: both operands keep only 24
// significant bits and the quotient is truncated toward zero. A zero divisor
// or a quotient outside the 32-bit range would make the conversion undefined,
// so those saturate instead; every in-range quotient is bit-exact.
Fixed FixDiv(Fixed a, Fixed b) {
    if (b == 0) return a > 0 ? INT32_MAX : (a < 0 ? INT32_MIN : 0);
    float numerator = static_cast<float>(a);
    numerator *= 65536.0f;
    const float divisor = static_cast<float>(b);
    const float quotient = numerator / divisor;
    if (quotient >= 2147483648.0f) return INT32_MAX;
    if (quotient < -2147483648.0f) return INT32_MIN;
    return static_cast<Fixed>(quotient);
}

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
