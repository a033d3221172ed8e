// Math stage, matrices: builders, products, transposes, the rigid inverse and
// the point and direction transforms. Every product is FixMul, so each element
// follows its formula exactly: old values are read before any element is
// written, and the negated sine is formed before it enters FixMul (FixMul(x,
// -s) can differ from -FixMul(x, s) in the last bit).
#include "math/matrix.h"

#include "platform/runtime.h"

namespace {

// The shared identity, built on first use and marked unbuilt by its clean-up
// at exit.
Matrix identity;
bool identityBuilt = false;

void IdentityCleanUp() {
    identityBuilt = false;
}

// out = l * r, element by element through FixMul; out is neither l nor r.
void Product(Matrix* out, const Matrix* l, const Matrix* r) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            Fixed sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += FixMul(l->m[4 * row + k], r->m[4 * k + column]);
            out->m[4 * row + column] = sum;
        }
    }
}

// Rewrites rows a and b of m as (r_a c + r_b s, r_a (-s) + r_b c): the shared
// step of the three rotations, with the rows chosen so the turn goes the
// right way.
void RotateRows(Matrix* m, int a, int b, Fixed s, Fixed c) {
    const Fixed minusS = -s;
    for (int j = 0; j < 4; ++j) {
        const Fixed ra = m->m[4 * a + j];
        const Fixed rb = m->m[4 * b + j];
        m->m[4 * a + j] = FixMul(ra, c) + FixMul(rb, s);
        m->m[4 * b + j] = FixMul(ra, minusS) + FixMul(rb, c);
    }
}

void Swap(Matrix* m, int i, int j) {
    const Fixed t = m->m[i];
    m->m[i] = m->m[j];
    m->m[j] = t;
}

} // namespace

void MatrixIdentity(Matrix* out) {
    if (!identityBuilt) {
        identity = Matrix{
            {kFixedOne, 0, 0, 0, 0, kFixedOne, 0, 0, 0, 0, kFixedOne, 0, 0, 0, 0, kFixedOne}};
        identityBuilt = true;
        // Like a static object's destructor, a clean-up that cannot be
        // registered is simply not run; the identity itself stays usable.
        RegisterExitFunction(IdentityCleanUp);
    }
    *out = identity;
}

void MatrixTranslate(Matrix* m, Fixed x, Fixed y, Fixed z) {
    for (int j = 0; j < 4; ++j)
        m->m[12 + j] += FixMul(x, m->m[j]) + FixMul(y, m->m[4 + j]) + FixMul(z, m->m[8 + j]);
}

// Rx rows (1, 0, 0), (0, c, s), (0, -s, c): +y turns toward +z.
void MatrixRotateX(Matrix* m, int angle) {
    RotateRows(m, 1, 2, Sin(angle), Cos(angle));
}

// Ry rows (c, 0, -s), (0, 1, 0), (s, 0, c): +z turns toward +x. Row 0 is the
// one that takes -s, so the pair enters the shared step as (row 2, row 0).
void MatrixRotateY(Matrix* m, int angle) {
    RotateRows(m, 2, 0, Sin(angle), Cos(angle));
}

// Rz rows (c, s, 0), (-s, c, 0), (0, 0, 1): +x turns toward +y.
void MatrixRotateZ(Matrix* m, int angle) {
    RotateRows(m, 0, 1, Sin(angle), Cos(angle));
}

void MatrixScale(Matrix* m, Fixed sx, Fixed sy, Fixed sz) {
    for (int j = 0; j < 4; ++j) {
        m->m[j] = FixMul(m->m[j], sx);
        m->m[4 + j] = FixMul(m->m[4 + j], sy);
        m->m[8 + j] = FixMul(m->m[8 + j], sz);
    }
}

// m = S * m, the same order as the builders. Nothing in the engine calls it.
void MatrixShear(Matrix* m, Fixed s1, Fixed s2, Fixed s6, Fixed s4, Fixed s8, Fixed s9) {
    const Matrix shear{
        {kFixedOne, s1, s2, 0, s4, kFixedOne, s6, 0, s8, s9, kFixedOne, 0, 0, 0, 0, kFixedOne}};
    Matrix product;
    MatrixMultiply(&product, m, &shear);
    *m = product;
}

void MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b) {
    Product(out, b, a);
}

void MatrixPreMultiply(Matrix* m, const Matrix* o) {
    Matrix product;
    Product(&product, o, m);
    *m = product;
}

void MatrixPostMultiply(Matrix* m, const Matrix* o) {
    Matrix product;
    Product(&product, m, o);
    *m = product;
}

void MatrixTranspose(Matrix* m) {
    MatrixTranspose3x3(m);
    Swap(m, 3, 12);
    Swap(m, 7, 13);
    Swap(m, 11, 14);
}

void MatrixTransposeCopy(Matrix* dst, const Matrix* src) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c)
            dst->m[4 * r + c] = src->m[4 * c + r];
    }
}

void MatrixTranspose3x3(Matrix* m) {
    Swap(m, 1, 4);
    Swap(m, 2, 8);
    Swap(m, 6, 9);
}

// For a rotation plus translation only: the translation is carried back along
// each rotated axis and negated, the rotation transposed.
void MatrixRigidInverse(Matrix* out, const Matrix* in) {
    const Fixed tx = in->m[12];
    const Fixed ty = in->m[13];
    const Fixed tz = in->m[14];
    for (int i = 0; i < 3; ++i) {
        out->m[12 + i] = -(FixMul(tx, in->m[4 * i]) + FixMul(ty, in->m[4 * i + 1]) +
                           FixMul(tz, in->m[4 * i + 2]));
    }
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            out->m[4 * r + c] = in->m[4 * c + r];
    }
    out->m[3] = 0;
    out->m[7] = 0;
    out->m[11] = 0;
    out->m[15] = kFixedOne;
}

void MatrixInvertRigid(Matrix* m) {
    Matrix inverse;
    MatrixRigidInverse(&inverse, m);
    *m = inverse;
}

void MatrixInverseRotateVector(const Matrix* m, Vector3* out, const Vector3* v) {
    const Fixed x = v->x;
    const Fixed y = v->y;
    const Fixed z = v->z;
    out->x = FixMul(m->m[0], x) + FixMul(m->m[1], y) + FixMul(m->m[2], z);
    out->y = FixMul(m->m[4], x) + FixMul(m->m[5], y) + FixMul(m->m[6], z);
    out->z = FixMul(m->m[8], x) + FixMul(m->m[9], y) + FixMul(m->m[10], z);
}
