// Under triangle set-up and span fill: the reciprocals of the divisors below
// kReciprocalTableSize, made at compile time.
#include "render/step_divisor.h"

namespace {

constexpr std::array<Reciprocal, kReciprocalTableSize> MakeReciprocals() {
    std::array<Reciprocal, kReciprocalTableSize> table{};
    for (uint32_t n = 1; n < kReciprocalTableSize; ++n)
        table[n] = ReciprocalOf(n);
    return table;
}

} // namespace

constexpr std::array<Reciprocal, kReciprocalTableSize> kReciprocals = MakeReciprocals();
