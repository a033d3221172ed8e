#include "host/random.h"
#include "math/fixed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace {

constexpr Fixed F(double value) {
    return static_cast<Fixed>(value * 65536.0);
}

Fixed SinOf(int angle) {
    return SineTable[angle & kAngleMask];
}
Fixed CosOf(int angle) {
    return SineTable[(angle & kAngleMask) + kQuarterTurn];
}

} // namespace

TEST(SineTable, FollowsTheTruncationRuleEverywhere) {
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < 5120; ++i) {
        const Fixed expected = static_cast<Fixed>(65536.0 * std::sin(2.0 * pi * i / 4096.0));
        ASSERT_EQ(SineTable[i], expected) << "entry " << i;
    }
    const int entries[][2] = {{0, 0},         {1, 100},     {2, 201},      {3, 301},
                              {256, 25079},   {512, 46340}, {1023, 65535}, {1024, 65536},
                              {1025, 65535},  {2048, 0},    {2049, -100},  {3072, -65536},
                              {3584, -46340}, {4095, -100}, {4096, 0}};
    for (const auto& entry : entries)
        EXPECT_EQ(SineTable[entry[0]], entry[1]) << entry[0];
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(SineTable[4096 + i], SineTable[i]);
    for (int i = 0; i < 5120; ++i) {
        const bool axis = i == 1024 || i == 3072 || i == 4096 + 1024;
        EXPECT_EQ(std::abs(SineTable[i]) == 65536, axis) << i;
    }
}

TEST(SineTable, AnglesAreMaskedAtLookup) {
    EXPECT_EQ(SinOf(-1024), -65536);
    EXPECT_EQ(CosOf(-1024), 0);
    EXPECT_EQ(SinOf(5000), SineTable[904]);
    EXPECT_EQ(CosOf(5000), SineTable[904 + 1024]);
    EXPECT_EQ(SinOf(-1), -100);
    EXPECT_EQ(CosOf(4095), SineTable[5119]);
    EXPECT_EQ(SinOf(INT32_MIN), 0); // multiple of 4096
}

TEST(FixMul, DropsEightBitsOfEachOperandRoundingDown) {
    EXPECT_EQ(FixMul(0xFF, kFixedOne), 0);
    EXPECT_EQ(FixMul(-1, kFixedOne), -256);
    EXPECT_EQ(FixMul(kFixedOne, -1), -256);
    EXPECT_EQ(FixMul(kFixedOne + 1, kFixedOne), kFixedOne);
    EXPECT_EQ(FixMul(F(1.5), F(2.25)), F(3.375));
    EXPECT_EQ(FixMul(F(-1.5), F(2.25)), F(-3.375));
    EXPECT_EQ(FixMul(-0x180, kFixedOne), -512); // -1.5/256 rounds down to -2/256
    EXPECT_EQ(FixMul(0x12345678, kFixedOne), 0x12345600);
    EXPECT_EQ(FixMul(-0x12345678, kFixedOne), -0x12345700);
    EXPECT_EQ(FixMul(F(181.0), F(181.0)), F(32761.0));
    EXPECT_EQ(FixMul(F(-181.0), F(181.0)), F(-32761.0));
    // 182.0 squared no longer fits and wraps modulo 2^32.
    EXPECT_EQ(FixMul(F(182.0), F(182.0)), static_cast<Fixed>(33124u * 65536u));
    EXPECT_LT(FixMul(F(182.0), F(182.0)), 0);
}

TEST(FixDiv, SinglePrecisionTruncatedTowardZero) {
    EXPECT_EQ(FixDiv(kFixedOne, F(3.0)), 0x5555);
    EXPECT_EQ(FixDiv(-kFixedOne, F(3.0)), -21845);
    EXPECT_EQ(FixDiv(kFixedOne, F(-3.0)), -21845);
    EXPECT_EQ(FixDiv(F(7.0), F(2.0)), F(3.5));
    EXPECT_EQ(FixDiv(kFixedOne, kFixedOne), kFixedOne);
    EXPECT_EQ(FixDiv(kFixedOne, F(5.0)), 13107);
    // Operands above 256.0 keep only 24 significant bits before dividing.
    EXPECT_EQ(FixDiv(0x1000001, kFixedOne), 0x1000000);
    EXPECT_EQ(FixDiv(INT32_MIN, kFixedOne), INT32_MIN); // exactly in range
}

TEST(FixDiv, SaturatesWhereTheQuotientCannotBeHeld) {
    EXPECT_EQ(FixDiv(5, 0), INT32_MAX);
    EXPECT_EQ(FixDiv(-5, 0), INT32_MIN);
    EXPECT_EQ(FixDiv(0, 0), 0);
    EXPECT_EQ(FixDiv(F(20000.0), F(0.5)), INT32_MAX);
    EXPECT_EQ(FixDiv(F(-20000.0), F(0.5)), INT32_MIN);
    EXPECT_EQ(FixDiv(F(20000.0), F(-0.5)), INT32_MIN);
    EXPECT_EQ(FixDiv(INT32_MAX, 1), INT32_MAX);
    EXPECT_EQ(FixDiv(INT32_MIN, -1), INT32_MAX);
    // 0x7FFFFFFF becomes 2^31 in single precision: just out of range.
    EXPECT_EQ(FixDiv(INT32_MAX, kFixedOne), INT32_MAX);
}

TEST(FixSqrt, IsTheFloorRootOfTheUnsignedArgumentShiftedByEight) {
    EXPECT_EQ(FixSqrt(0), 0u);
    EXPECT_EQ(FixSqrt(1), 0x100u);
    EXPECT_EQ(FixSqrt(2), 0x100u);
    EXPECT_EQ(FixSqrt(3), 0x100u);
    EXPECT_EQ(FixSqrt(4), 0x200u);
    EXPECT_EQ(FixSqrt(kFixedOne), 0x10000u);
    EXPECT_EQ(FixSqrt(F(2.0)), 0x16A00u);
    EXPECT_EQ(FixSqrt(F(9.0)), 0x30000u);
    EXPECT_EQ(FixSqrt(0x7FFFFFFFu), 0xB50400u);
    EXPECT_EQ(FixSqrt(0x80000000u), 0xB50400u);
    EXPECT_EQ(FixSqrt(0xFFFFFFFFu), 0xFFFF00u);
    EXPECT_EQ(FixSqrt(0xFFFE0001u), 0xFFFF00u); // 65535 squared
    EXPECT_EQ(FixSqrt(0xFFFE0000u), 0xFFFE00u);
    // Every perfect square and its predecessor, up to the top of the range.
    for (uint32_t n = 2; n < 65536; ++n) {
        const uint32_t square = n * n;
        ASSERT_EQ(FixSqrt(square), n << 8) << n;
        ASSERT_EQ(FixSqrt(square - 1), (n - 1) << 8) << n;
    }
}

TEST(FixInvSqrt, InvertsTheRootAndGivesZeroForZero) {
    EXPECT_EQ(FixInvSqrt(0), 0);
    EXPECT_EQ(FixInvSqrt(F(4.0)), F(0.5));
    EXPECT_EQ(FixInvSqrt(F(0.25)), F(2.0));
    EXPECT_EQ(FixInvSqrt(kFixedOne), kFixedOne);
}

TEST(Vector, LengthMeasuresWholeUnits) {
    const struct {
        Vector3 v;
        Fixed length;
    } cases[] = {
        {{F(3.0), F(4.0), 0}, F(5.0)},
        {{F(3.5), F(4.5), 0}, F(5.0)},
        {{F(10.0), 0, 0}, F(10.0)},
        {{F(0.5), 0, 0}, 0},
        {{0xFFFF, 0xFFFF, 0xFFFF}, 0},
        {{F(-0.5), 0, 0}, F(1.0)},
        {{0, F(0.5), F(1.0)}, F(1.0)},
        {{F(-1.0), F(-1.0), F(1.0)}, F(1.0)},
        // Full-range components cannot overflow the sum of squares.
        {{F(-32767.0), 0, 0}, F(32767.0)},
        {{F(20000.0), F(-20000.0), 0}, F(28284.0)},
        {{F(20000.0), F(-20000.0), F(10000.0)}, F(30000.0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VectorLength(&c.v), c.length) << c.v.x << " " << c.v.y << " " << c.v.z;
    }
}

TEST(Vector, NormalizeCollapsesLongVectors) {
    const struct {
        Vector3 in;
        Vector3 out;
    } cases[] = {
        {{0, F(0.5), F(1.0)}, {0, F(0.5), F(1.0)}},
        {{F(-1.0), F(-1.0), F(1.0)}, {F(-1.0), F(-1.0), F(1.0)}},
        {{F(3.0), F(4.0), 0}, {0x9900, 0xCC00, 0}},
        {{F(10.0), 0, 0}, {0xFA00, 0, 0}},
        {{F(100.0), 0, 0}, {0xC800, 0, 0}},
        {{F(256.0), 0, 0}, {F(1.0), 0, 0}},
        {{F(257.0), 0, 0}, {0, 0, 0}},
        {{F(-300.0), 0, 0}, {0, 0, 0}},
        {{F(0.5), F(0.5), F(0.5)}, {F(0.5), F(0.5), F(0.5)}}, // length 0: untouched
        {{0, 0, 0}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        Vector3 v = c.in;
        VectorNormalize(&v);
        EXPECT_EQ(v.x, c.out.x) << c.in.x;
        EXPECT_EQ(v.y, c.out.y) << c.in.y;
        EXPECT_EQ(v.z, c.out.z) << c.in.z;
    }
}

TEST(Vector, DotSumsFixMulProductsWithWrap) {
    const Vector3 a{F(1.5), F(-2.0), 0xFF};
    const Vector3 b{F(2.0), F(0.5), F(100.0)};
    EXPECT_EQ(VectorDot(&a, &b), F(3.0) - F(1.0)); // 0xFF vanishes in FixMul
    const Vector3 big{F(181.0), F(181.0), 0};
    EXPECT_EQ(VectorDot(&big, &big), static_cast<Fixed>(2u * 32761u * 65536u));
}

TEST(Random, DrawsOneValuePerCallWithinTheRange) {
    host::SeedRand(1);
    // The generator gives 41, 18467, 6334, ... from state 1.
    EXPECT_EQ(RandomBelow(7), (7 * 41) >> 15);
    EXPECT_EQ(RandomEven(), (18467 & 0x3FFF) << 1);
    EXPECT_EQ(RandomBelow(65538), (65538 * 6334) >> 15);
    host::SeedRand(12345);
    for (int i = 0; i < 10000; ++i) {
        const int below = RandomBelow(7);
        ASSERT_GE(below, 0);
        ASSERT_LT(below, 7);
        ASSERT_EQ(RandomBelow(1), 0);
        const int even = RandomEven();
        ASSERT_EQ(even & 1, 0);
        ASSERT_GE(even, 0);
        ASSERT_LE(even, 32766);
        ASSERT_LT(RandomBelow(65538), 65538);
    }
    host::SeedRand(1);
}
