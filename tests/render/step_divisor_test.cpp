// The step divisor against the processor's division, truncating toward zero:
// every divisor a span or an edge can have (the difference of two columns or
// rows, 1 to 65535) with the numerators at and around the multiples of it
// nearest zero and nearest both ends of the 32-bit range (where the
// multiplier's excess weighs most), and a large random set.
#include "render/step_divisor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax = std::numeric_limits<int32_t>::max();

// The numerators of one divisor: each multiple k * n picked, with its two
// neighbours, wherever they lie in the 32-bit range; and both ends.
std::vector<int32_t> Numerators(int64_t n) {
    std::vector<int64_t> multiples = {0, n, -n, 2 * n, -2 * n};
    for (int64_t k = 0; k < 4; ++k) {
        multiples.push_back((kMax / n - k) * n);
        multiples.push_back((kMin / n + k) * n);
    }
    std::vector<int32_t> numerators = {static_cast<int32_t>(kMin), static_cast<int32_t>(kMax)};
    for (int64_t multiple : multiples) {
        for (int64_t a = multiple - 1; a <= multiple + 1; ++a) {
            if (a >= kMin && a <= kMax) numerators.push_back(static_cast<int32_t>(a));
        }
    }
    return numerators;
}

void ExpectQuotient(int32_t numerator, int32_t n) {
    // The division the step must equal, in 64 bits so INT32_MIN / 1 is defined.
    const auto expected = static_cast<int32_t>(int64_t{numerator} / n);
    ASSERT_EQ(StepDivisor(n).Quotient(numerator), expected) << numerator << " / " << n;
}

} // namespace

TEST(StepDivisor, EqualsTheTruncatedDivisionForEveryDivisorOfASpanOrAnEdge) {
    for (int32_t n = 1; n <= 65535; ++n) {
        for (int32_t numerator : Numerators(n)) {
            ExpectQuotient(numerator, n);
            if (HasFatalFailure()) return;
        }
    }
}

TEST(StepDivisor, EqualsTheTruncatedDivisionOnRandomNumeratorsAndLargerDivisors) {
    uint64_t state = 12;
    const auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 32);
    };
    for (int trial = 0; trial < 4000000; ++trial) {
        const auto numerator = static_cast<int32_t>(next());
        // Mostly divisors of spans and edges; some far beyond them.
        const uint32_t r = next();
        const auto n = static_cast<int32_t>(trial % 8 == 0 ? r % 0x7FFFFFFF + 1 : r % 65535 + 1);
        ExpectQuotient(numerator, n);
        if (HasFatalFailure()) return;
    }
}
