#include "host/random.h"
#include "math_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

// Truncated toward zero (rounded, entry 1 would be 101); 4096 on repeat 0 on.
TEST(SineTable, TruncatesTowardZeroAndRepeatsTheFirstQuarter) {
    for (int i = 0; i < 5120; ++i) {
        const double angle = 2.0 * M_PI * (i % 4096) / 4096.0;
        ASSERT_EQ(SineTable[i], static_cast<Fixed>(65536.0 * std::sin(angle))) << "entry " << i;
    }
    const int entries[][2] = {{1, 100}, {2049, -100}, {512, 46340}, {1024, 65536}, {3072, -65536}};
    for (const auto& entry : entries)
        EXPECT_EQ(SineTable[entry[0]], entry[1]) << "entry " << entry[0];
}

// Each operand loses 8 bits rounding down; 181.0 squared fits, 182.0 wraps.
TEST(FixMul, DropsEightBitsOfEachOperandRoundingDownAndWraps) {
    const Fixed cases[][3] = {{0xFF, kFixedOne, 0},
                              {-1, kFixedOne, -256},
                              {kFixedOne + 1, kFixedOne, kFixedOne},
                              {F(1.5), F(2.25), F(3.375)},
                              {F(-181.0), F(181.0), F(-32761.0)},
                              {F(182.0), F(182.0), static_cast<Fixed>(33124u * 65536u)}};
    for (const auto& c : cases)
        EXPECT_EQ(FixMul(c[0], c[1]), c[2]) << c[0] << " * " << c[1];
    const Vector3 a{F(1.5), F(-2.0), F(0.5) + 0xFF}, b{F(2.0), F(0.5), F(4.0)};
    EXPECT_EQ(VectorDot(&a, &b), F(4.0));
}

// 24 significant bits (0x7FFFFFFF becomes 2^31), truncated toward zero;
// zero divisors and quotients out of range saturate.
TEST(FixDiv, SinglePrecisionTruncatedTowardZeroSaturatingOutOfRange) {
    const Fixed cases[][3] = {{kFixedOne, F(3.0), 0x5555},
                              {F(-2.0), F(3.0), -0xAAAA},
                              {F(2.0), F(-3.0), -0xAAAA},
                              {F(7.0), F(2.0), F(3.5)},
                              {0x1000001, kFixedOne, 0x1000000},
                              {INT32_MIN, kFixedOne, INT32_MIN},
                              {5, 0, INT32_MAX},
                              {-5, 0, INT32_MIN},
                              {0, 0, 0},
                              {F(20000.0), F(0.5), INT32_MAX},
                              {F(-20000.0), F(0.5), INT32_MIN},
                              {F(20000.0), F(-0.5), INT32_MIN},
                              {INT32_MIN, -1, INT32_MAX},
                              {INT32_MAX, kFixedOne, INT32_MAX}};
    for (const auto& c : cases)
        EXPECT_EQ(FixDiv(c[0], c[1]), c[2]) << c[0] << " / " << c[1];
}

TEST(FixSqrt, IsTheFloorRootOfTheUnsignedArgumentShiftedByEight) {
    const uint32_t roots[][2] = {
        {0, 0}, {1, 0x100}, {F(2.0), 0x16A00}, {0x80000000u, 0xB50400}, {0xFFFFFFFFu, 0xFFFF00}};
    for (const auto& r : roots)
        EXPECT_EQ(FixSqrt(r[0]), r[1]) << r[0];
    for (uint32_t n = 2; n < 65536; ++n) { // every perfect square and its predecessor
        ASSERT_EQ(FixSqrt(n * n), n << 8) << n;
        ASSERT_EQ(FixSqrt(n * n - 1), (n - 1) << 8) << n;
    }
    EXPECT_EQ(FixInvSqrt(0), 0);
    EXPECT_EQ(FixInvSqrt(F(4.0)), F(0.5));
    EXPECT_EQ(FixInvSqrt(F(0.25)), F(2.0));
}

// Lengths count whole units (-0.5 as -1) and cannot overflow; normalising by
// FixMul with 1/length collapses long vectors and leaves length 0 alone.
TEST(Vector, LengthMeasuresWholeUnitsAndNormalizeCollapsesLongVectors) {
    const struct {
        Vector3 v, unit;
        Fixed length;
    } cases[] = {{{F(3.0), F(4.0), 0}, {0x9900, 0xCC00, 0}, F(5.0)},
                 {{F(3.5), F(4.5), 0}, {0xB280, 0xE580, 0}, F(5.0)},
                 {{F(-0.5), 0, 0}, {F(-0.5), 0, 0}, F(1.0)},
                 {{F(-1.0), F(-1.0), F(1.0)}, {F(-1.0), F(-1.0), F(1.0)}, F(1.0)},
                 {{0xFFFF, 0xFFFF, 0xFFFF}, {0xFFFF, 0xFFFF, 0xFFFF}, 0},
                 {{F(10.0), 0, 0}, {0xFA00, 0, 0}, F(10.0)},
                 {{F(100.0), 0, 0}, {0xC800, 0, 0}, F(100.0)},
                 {{F(256.0), 0, 0}, {F(1.0), 0, 0}, F(256.0)},
                 {{F(257.0), 0, 0}, {0, 0, 0}, F(257.0)},
                 {{F(20000.0), F(-20000.0), F(10000.0)}, {0, 0, 0}, F(30000.0)}};
    for (const auto& c : cases) {
        Vector3 v = c.v;
        VectorNormalize(&v);
        EXPECT_EQ(VectorLength(&c.v), c.length) << c.v;
        EXPECT_EQ(v, c.unit) << c.v;
    }
}

// One draw per call; the generator gives 41, 18467, 6334, 26500 from state 1.
TEST(Random, DrawsOneValuePerCallWithinTheRange) {
    host::SeedRand(1);
    EXPECT_EQ(RandomBelow(7), (7 * 41) >> 15);
    EXPECT_EQ(RandomEven(), (18467 & 0x3FFF) << 1);
    EXPECT_EQ(RandomBelow(65538), (65538 * 6334) >> 15);
    EXPECT_EQ(RandomBelow(1), 0);
    for (int i = 0; i < 10000; ++i) {
        ASSERT_LT(RandomBelow(7), 7);
        ASSERT_LE(RandomEven(), 32766);
        ASSERT_LT(RandomBelow(65538), 65538);
    }
    host::SeedRand(1);
}
