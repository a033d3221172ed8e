// Length, normalisation and dot product of three-component Fixed vectors.
#include "math/fixed.h"

// Whole units only: each component is cut to its integer part before it is
// squared, so no component in the Fixed range can overflow the sum.
Fixed VectorLength(const Vector3* v) {
    const Fixed x = v->x >> 8;
    const Fixed y = v->y >> 8;
    const Fixed z = v->z >> 8;
    const uint32_t sum = static_cast<uint32_t>(FixMul(x, x)) + static_cast<uint32_t>(FixMul(y, y)) +
                         static_cast<uint32_t>(FixMul(z, z));
    return static_cast<Fixed>(FixSqrt(sum) << 8);
}

// The inverse length enters FixMul with its low 8 bits dropped, so long
// vectors come out short, and from a length of 257 on they collapse to zero.
void VectorNormalize(Vector3* v) {
    const Fixed length = VectorLength(v);
    if (length == 0) return;
    const Fixed k = FixDiv(kFixedOne, length);
    v->x = FixMul(v->x, k);
    v->y = FixMul(v->y, k);
    v->z = FixMul(v->z, k);
}
