// 16.16 fixed point, angles of 4096 steps to the turn, the sine table,
// three-component vectors and the two pseudo-random helpers.
//
// Every product in the engine is FixMul: each operand loses its low 8 bits
// before a 32-bit multiply. That precision runs through the whole picture, so
// it is reproduced exactly and never "improved".
#pragma once
#include <cstdint>

using Fixed = int32_t;

constexpr Fixed kFixedOne = 0x10000;

// Angles: 4096 units per turn, stored unreduced, masked at lookup.
constexpr int kAngleMask = 0xFFF;
constexpr int kQuarterTurn = 1024;

// sin(a) is SineTable[a & 0xFFF], cos(a) is SineTable[(a & 0xFFF) + 1024].
// Entries 4096..5119 repeat 0..1023 so the cosine needs no second mask.
extern const Fixed (&SineTable)[5120];

struct Vector3 {
    Fixed x;
    Fixed y;
    Fixed z;
};

// (a >> 8) * (b >> 8), arithmetic shifts, 32-bit product that wraps.
inline Fixed FixMul(Fixed a, Fixed b) {
    return (a >> 8) * (b >> 8);
}

Fixed FixDiv(Fixed a, Fixed b);
uint32_t FixSqrt(uint32_t a);
Fixed FixInvSqrt(Fixed a);

Fixed VectorLength(const Vector3* v);
void VectorNormalize(Vector3* v);
Fixed VectorDot(const Vector3* a, const Vector3* b);

int RandomBelow(int n);
int RandomEven();
