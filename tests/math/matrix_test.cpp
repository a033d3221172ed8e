#include "host/local_heap.h"
#include "math/matrix.h"
#include "platform/runtime.h"

#include <gtest/gtest.h>

namespace {

constexpr Fixed F(double value) {
    return static_cast<Fixed>(value * 65536.0);
}

constexpr Fixed kOne = kFixedOne;

Matrix Identity() {
    Matrix m;
    MatrixIdentity(&m);
    return m;
}

Vector3 Transform(const Matrix& m, Vector3 p) {
    Vector3 out;
    MatrixTransformPoint(&m, &out, &p);
    return out;
}

void ExpectVector(const Vector3& v, Fixed x, Fixed y, Fixed z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

void ExpectMatrix(const Matrix& m, const Matrix& expected) {
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m.m[i], expected.m[i]) << "element " << i;
}

} // namespace

TEST(Matrix, RotationsTurnTheAxesTheStatedWay) {
    Matrix z = Identity();
    MatrixRotateZ(&z, 1024);
    ExpectMatrix(z, Matrix{{0, kOne, 0, 0, -kOne, 0, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne}});
    ExpectVector(Transform(z, {kOne, 0, 0}), 0, kOne, 0);
    const Vector3 up{0, kOne, 0};
    Vector3 back;
    MatrixInverseRotateVector(&z, &back, &up);
    ExpectVector(back, kOne, 0, 0);

    Matrix x = Identity();
    MatrixRotateX(&x, 1024);
    ExpectVector(Transform(x, {0, kOne, 0}), 0, 0, kOne);
    Matrix y = Identity();
    MatrixRotateY(&y, 1024);
    ExpectVector(Transform(y, {0, 0, kOne}), kOne, 0, 0);
}

TEST(Matrix, AnglesAliasModuloAFullTurn) {
    void (*const rotations[])(Matrix*, int) = {MatrixRotateX, MatrixRotateY, MatrixRotateZ};
    for (auto rotate : rotations) {
        Matrix a = Identity();
        MatrixRotateX(&a, 300); // a start that is not the identity
        Matrix b = a;
        Matrix c = a;
        rotate(&a, 1024 + 77);
        rotate(&b, 5120 + 77);
        rotate(&c, -3072 + 77);
        ExpectMatrix(b, a);
        ExpectMatrix(c, a);
    }
}

TEST(Matrix, NegatedSineEntersFixMulBeforeTheProduct) {
    // sin of one step is 100/65536: FixMul(1.0, 100) is 0 but FixMul(1.0, -100)
    // is -256, so the two off-diagonal elements are not mirror images.
    Matrix x = Identity();
    MatrixRotateX(&x, 1);
    EXPECT_EQ(x.m[5], 65280);
    EXPECT_EQ(x.m[6], 0);
    EXPECT_EQ(x.m[9], -256);
    EXPECT_EQ(x.m[10], 65280);
    Matrix y = Identity();
    MatrixRotateY(&y, 1);
    EXPECT_EQ(y.m[2], -256);
    EXPECT_EQ(y.m[8], 0);
    Matrix z = Identity();
    MatrixRotateZ(&z, 1);
    EXPECT_EQ(z.m[1], 0);
    EXPECT_EQ(z.m[4], -256);
}

TEST(Matrix, BuildersReadFromTheOutsideIn) {
    Matrix scaledFirst = Identity();
    MatrixScale(&scaledFirst, F(2.0), F(2.0), F(2.0));
    MatrixTranslate(&scaledFirst, F(1.0), F(2.0), F(3.0));
    EXPECT_EQ(scaledFirst.m[12], F(2.0));
    EXPECT_EQ(scaledFirst.m[13], F(4.0));
    EXPECT_EQ(scaledFirst.m[14], F(6.0));
    EXPECT_EQ(scaledFirst.m[15], kOne);

    Matrix movedFirst = Identity();
    MatrixTranslate(&movedFirst, F(1.0), F(2.0), F(3.0));
    MatrixScale(&movedFirst, F(2.0), F(2.0), F(2.0));
    EXPECT_EQ(movedFirst.m[12], F(1.0));
    EXPECT_EQ(movedFirst.m[13], F(2.0));
    EXPECT_EQ(movedFirst.m[14], F(3.0));
    ExpectVector(Transform(movedFirst, {kOne, 0, 0}), F(3.0), F(2.0), F(3.0));

    // Translate then rotate: a model point is turned first, then moved.
    Matrix placed = Identity();
    MatrixTranslate(&placed, 0, 0, F(250.0));
    MatrixRotateZ(&placed, 1024);
    ExpectVector(Transform(placed, {F(10.0), 0, 0}), 0, F(10.0), F(250.0));
}

TEST(Matrix, ProductsGoThroughFixMul) {
    Matrix m{{0x123, -1, 0x10000 + 0x7F, -0x180, kOne, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}};
    Matrix pre = m;
    const Matrix identity = Identity();
    MatrixPreMultiply(&pre, &identity);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(pre.m[i], m.m[i] & ~0xFF) << i;
    Matrix post = m;
    MatrixPostMultiply(&post, &identity);
    ExpectMatrix(post, pre);

    // MatrixMultiply(out, a, b) is b * a: b acts first.
    Matrix move = Identity();
    MatrixTranslate(&move, F(10.0), 0, 0);
    Matrix turn = Identity();
    MatrixRotateZ(&turn, 1024);
    Matrix out;
    MatrixMultiply(&out, &move, &turn);
    ExpectVector(Transform(out, {kOne, 0, 0}), F(10.0), kOne, 0);
    // Pre-multiplying acts first, like the builders; post-multiplying after.
    Matrix preTurn = move;
    MatrixPreMultiply(&preTurn, &turn);
    ExpectMatrix(preTurn, out);
    Matrix postTurn = move;
    MatrixPostMultiply(&postTurn, &turn);
    ExpectVector(Transform(postTurn, {kOne, 0, 0}), 0, F(11.0), 0);

    // The full 4x4 takes part, fourth column included.
    const Matrix a{{F(1.5), 0, 0, F(2.0), 0, kOne, 0, 0, 0, 0, kOne, 0, F(3.0), 0, 0, F(0.5)}};
    Matrix square;
    MatrixMultiply(&square, &a, &a);
    EXPECT_EQ(square.m[0], F(2.25) + F(6.0));
    EXPECT_EQ(square.m[3], F(3.0) + F(1.0));
    EXPECT_EQ(square.m[12], F(4.5) + F(1.5));
    EXPECT_EQ(square.m[15], F(6.0) + F(0.25));
}

TEST(Matrix, ShearMultipliesFromTheLeft) {
    Matrix m = Identity();
    MatrixTranslate(&m, F(1.0), F(2.0), F(3.0));
    MatrixShear(&m, F(0.5), 0, 0, 0, 0, 0);
    // The x axis now leans toward y; the existing translation is untouched.
    ExpectVector(Transform(m, {F(2.0), 0, 0}), F(3.0), F(3.0), F(3.0));
}

TEST(Matrix, TransposesMoveTheRightElements) {
    Matrix m;
    for (int i = 0; i < 16; ++i)
        m.m[i] = i;
    Matrix full = m;
    MatrixTranspose(&full);
    Matrix copy;
    MatrixTransposeCopy(&copy, &m);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(full.m[4 * r + c], 4 * c + r);
    }
    ExpectMatrix(copy, full);
    Matrix upper = m;
    MatrixTranspose3x3(&upper);
    ExpectMatrix(upper, Matrix{{0, 4, 8, 3, 1, 5, 9, 7, 2, 6, 10, 11, 12, 13, 14, 15}});
}

TEST(Matrix, RigidInverseUndoesRotationAndTranslation) {
    Matrix move = Identity();
    MatrixTranslate(&move, F(1.0), F(2.0), F(3.0));
    Matrix inverse;
    MatrixRigidInverse(&inverse, &move);
    ExpectMatrix(inverse, Matrix{{kOne, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne, 0, F(-1.0), F(-2.0),
                                  F(-3.0), kOne}});

    Matrix placed = Identity();
    MatrixTranslate(&placed, F(5.0), F(-6.0), F(7.0));
    MatrixRotateY(&placed, 1024);
    MatrixRotateZ(&placed, -1024);
    placed.m[3] = 0x1234; // the fourth column is not read and is rebuilt
    placed.m[15] = 99;
    Matrix back;
    MatrixRigidInverse(&back, &placed);
    EXPECT_EQ(back.m[3], 0);
    EXPECT_EQ(back.m[7], 0);
    EXPECT_EQ(back.m[11], 0);
    EXPECT_EQ(back.m[15], kOne);
    const Vector3 p{F(1.0), F(2.0), F(-3.0)};
    const Vector3 there = Transform(placed, p);
    ExpectVector(Transform(back, there), p.x, p.y, p.z);
    Matrix inPlace = placed;
    MatrixInvertRigid(&inPlace);
    ExpectMatrix(inPlace, back);
}

TEST(Matrix, TransformPointIgnoresTheFourthColumn) {
    Matrix m = Identity();
    MatrixRotateX(&m, 333);
    MatrixTranslate(&m, F(1.0), F(2.0), F(3.0));
    const Vector3 p{F(4.5), F(-2.25), F(0.125)};
    const Vector3 expected = Transform(m, p);
    m.m[3] = 0x55555;
    m.m[7] = -1;
    m.m[11] = INT32_MIN;
    m.m[15] = 0;
    const Vector3 got = Transform(m, p);
    ExpectVector(got, expected.x, expected.y, expected.z);
}

TEST(Matrix, IdentityIsBuiltOnceAndCleanedUpAtExit) {
    RunExitSequence(); // whatever earlier tests registered has run
    ASSERT_EQ(ExitFunctionCount(), 0);
    const Matrix first = Identity();
    EXPECT_EQ(ExitFunctionCount(), 1);
    const Matrix second = Identity();
    EXPECT_EQ(ExitFunctionCount(), 1);
    ExpectMatrix(second, first);
    ExpectMatrix(first, Matrix{{kOne, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne}});

    // Its clean-up ran, so the next use builds and registers it again; when
    // the table cannot be obtained the identity is still given out.
    RunExitSequence();
    host::LocalHeapResetCount();
    host::LocalHeapSetFaults(1, 0);
    ExpectMatrix(Identity(), first);
    EXPECT_EQ(ExitFunctionCount(), 0);
    host::LocalHeapSetFaults(0, 0);
    ExpectMatrix(Identity(), first);
    EXPECT_EQ(ExitFunctionCount(), 0);
}
