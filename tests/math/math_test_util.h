// Helpers for the math tests: Fixed literals, and vectors and matrices that
// compare and print as wholes.
#pragma once
#include "math/matrix.h"

#include <algorithm>
#include <ostream>

constexpr Fixed F(double value) {
    return static_cast<Fixed>(value * 65536.0);
}

inline Vector3 V(Fixed x, Fixed y, Fixed z) {
    return Vector3{x, y, z};
}

inline bool operator==(const Vector3& a, const Vector3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

inline std::ostream& operator<<(std::ostream& out, const Vector3& v) {
    return out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

inline bool operator==(const Matrix& a, const Matrix& b) {
    return std::equal(a.m, a.m + 16, b.m);
}

inline std::ostream& operator<<(std::ostream& out, const Matrix& m) {
    for (Fixed element : m.m)
        out << " " << element;
    return out;
}
