// 4x4 matrices of Fixed, row-major, points as row vectors (p' = p * M), the
// translation in elements 12..14. The builders multiply from the left, so a
// sequence of builder calls reads from the outside in.
#pragma once
#include "math/fixed.h"

struct Matrix {
    Fixed m[16];
};

void MatrixIdentity(Matrix* out);
void MatrixTranslate(Matrix* m, Fixed x, Fixed y, Fixed z);
void MatrixRotateX(Matrix* m, int angle);
void MatrixRotateY(Matrix* m, int angle);
void MatrixRotateZ(Matrix* m, int angle);
void MatrixScale(Matrix* m, Fixed sx, Fixed sy, Fixed sz);
void MatrixShear(Matrix* m, Fixed s1, Fixed s2, Fixed s6, Fixed s4, Fixed s8, Fixed s9);
void MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b);
void MatrixPreMultiply(Matrix* m, const Matrix* o);
void MatrixPostMultiply(Matrix* m, const Matrix* o);
void MatrixTranspose(Matrix* m);
void MatrixTransposeCopy(Matrix* dst, const Matrix* src);
void MatrixTranspose3x3(Matrix* m);
void MatrixRigidInverse(Matrix* out, const Matrix* in);
void MatrixInvertRigid(Matrix* m);
void MatrixInverseRotateVector(const Matrix* m, Vector3* out, const Vector3* v);
// out = p * m, translation included; out must not be p. Inline: the renderer
// transforms every vertex with it.
inline void MatrixTransformPoint(const Matrix* m, Vector3* out, const Vector3* p) {
    const Fixed x = p->x;
    const Fixed y = p->y;
    const Fixed z = p->z;
    out->x = FixMul(m->m[0], x) + FixMul(m->m[4], y) + FixMul(m->m[8], z) + m->m[12];
    out->y = FixMul(m->m[1], x) + FixMul(m->m[5], y) + FixMul(m->m[9], z) + m->m[13];
    out->z = FixMul(m->m[2], x) + FixMul(m->m[6], y) + FixMul(m->m[10], z) + m->m[14];
}
