// Under triangle set-up and span fill, the quotients of their steps,
// (to - from) / n truncated toward zero, by a multiply instead of a division:
// a processor divides in tens of cycles, or in a library routine where it has
// no divide instruction at all.
//
// For 2^(k-1) < n <= 2^k take p = 31 + k and M = floor(2^p / n) + 1, which is
// below 2^32: M / 2^p exceeds 1 / n by e with 0 < e <= 1 / 2^p. For a
// numerator a of 32 bits, a * M / 2^p = a / n + a * e with |a * e| <= 2^-k
// <= 1 / n, strictly less when a >= 0:
// - a >= 0: a / n + a * e stays below the next whole number, so
//   floor(a * M / 2^p) = floor(a / n), the quotient truncated;
// - a < 0: a * e is negative and no smaller than -1 / n, so the floor is one
//   below the truncated quotient whether or not n divides a: adding 1 gives it.
// The product of the 32-bit numerator and M fits a signed 64-bit number.
// tests/render/step_divisor_test.cpp checks every divisor a span or an edge
// can have.
#pragma once
#include "math/fixed.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The multiplier and shift of one divisor.
struct Reciprocal {
    uint32_t multiplier;
    uint32_t shift;
};

constexpr Reciprocal ReciprocalOf(uint32_t n) {
    uint32_t k = 0;
    while (k < 31 && (uint32_t{1} << k) < n)
        ++k;
    return Reciprocal{static_cast<uint32_t>((uint64_t{1} << (31 + k)) / n + 1), 31 + k};
}

// Divisors below this (every span and edge inside the frame, and far beyond)
// take their reciprocal from a table made at compile time.
constexpr int32_t kReciprocalTableSize = 1024;
extern const std::array<Reciprocal, kReciprocalTableSize> kReciprocals;

class StepDivisor {
  public:
    // n >= 1.
    explicit StepDivisor(int32_t n)
        : reciprocal_(n < kReciprocalTableSize ? kReciprocals[static_cast<size_t>(n)]
                                               : ReciprocalOf(static_cast<uint32_t>(n))) {}

    Fixed Quotient(Fixed numerator) const {
        const int64_t product = int64_t{numerator} * reciprocal_.multiplier;
        return static_cast<Fixed>(product >> reciprocal_.shift) - (numerator >> 31);
    }

  private:
    Reciprocal reciprocal_;
};
