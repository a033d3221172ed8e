// Math stage, numbers: 16.16 fixed point, angles of 4096 steps to the turn
// with the sine table, three-component vectors and the two pseudo-random
// helpers.
//
// Every product in the engine is FixMul: each operand loses its low 8 bits
// before a 32-bit multiply. That precision runs through the whole picture, so
// it is reproduced exactly and never "improved".
#pragma once
#include <cstdint>

using Fixed = int32_t;

constexpr Fixed kFixedOne = 0x10000;

// Angles: plain integers of kFullTurn units to the turn, stored unreduced
// (counted up or down freely, negative ones included) and masked only where
// the sine table is read.
constexpr int kFullTurn = 4096;
constexpr int kHalfTurn = kFullTurn / 2;
constexpr int kQuarterTurn = kFullTurn / 4;
constexpr int kAngleMask = kFullTurn - 1;

// Entry i is 65536 * sin(2 pi i / 4096), truncated toward zero. Entries
// 4096..5119 repeat 0..1023 so the cosine needs no second mask.
extern const Fixed (&SineTable)[5120];

inline Fixed Sin(int angle) {
    return SineTable[angle & kAngleMask];
}
inline Fixed Cos(int angle) {
    return SineTable[(angle & kAngleMask) + kQuarterTurn];
}

struct Vector3 {
    Fixed x;
    Fixed y;
    Fixed z;
};

// (a >> 8) * (b >> 8), arithmetic shifts, 32-bit product that wraps.
inline Fixed FixMul(Fixed a, Fixed b) {
    return (a >> 8) * (b >> 8);
}

// a * 65536 / b in single precision, as on the device: both operands keep
// only 24 significant bits and the quotient is truncated toward zero. A zero
// divisor or a quotient outside the 32-bit range would make the conversion
// undefined, so those saturate instead; every in-range quotient is bit-exact.
// A dividend converts its numerator once for any number of divisors (the
// renderer divides its focal length by every vertex's depth). Inline: the
// renderer divides once per vertex.
class FixDividend {
  public:
    explicit FixDividend(Fixed a) : a_(a), numerator_(static_cast<float>(a) * 65536.0f) {}
    float Numerator() const { return numerator_; }
    Fixed Over(Fixed b) const {
        if (b == 0) return a_ > 0 ? INT32_MAX : (a_ < 0 ? INT32_MIN : 0);
        const float quotient = numerator_ / static_cast<float>(b);
        if (quotient >= 2147483648.0f) return INT32_MAX;
        if (quotient < -2147483648.0f) return INT32_MIN;
        return static_cast<Fixed>(quotient);
    }

  private:
    Fixed a_;
    float numerator_;
};

inline Fixed FixDiv(Fixed a, Fixed b) {
    return FixDividend(a).Over(b);
}
uint32_t FixSqrt(uint32_t a);
Fixed FixInvSqrt(Fixed a);

Fixed VectorLength(const Vector3* v);
void VectorNormalize(Vector3* v);
inline Fixed VectorDot(const Vector3* a, const Vector3* b) {
    return FixMul(a->x, b->x) + FixMul(a->y, b->y) + FixMul(a->z, b->z);
}

int RandomBelow(int n);
int RandomEven();
