#include "host/local_heap.h"
#include "math_test_util.h"
#include "platform/runtime.h"

#include <gtest/gtest.h>

namespace {

constexpr Fixed kOne = kFixedOne;

Matrix Identity() {
    Matrix m;
    MatrixIdentity(&m);
    return m;
}

Matrix Rotated(void (*rotate)(Matrix*, int), int angle, Matrix m = Identity()) {
    rotate(&m, angle);
    return m;
}

Vector3 Transform(const Matrix& m, Vector3 p) {
    Vector3 out;
    MatrixTransformPoint(&m, &out, &p);
    return out;
}

} // namespace

// Angles are masked at the lookup. The sine of one step is 100/65536, which
// FixMul turns into 0 but its negation into -256.
TEST(Matrix, RotationsTurnTheAxesTheStatedWay) {
    const Matrix z = Rotated(MatrixRotateZ, 1024);
    EXPECT_EQ(z, (Matrix{{0, kOne, 0, 0, -kOne, 0, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne}}));
    const Vector3 up = V(0, kOne, 0);
    Vector3 back;
    MatrixInverseRotateVector(&z, &back, &up);
    EXPECT_EQ(Transform(z, V(kOne, 0, 0)), up);
    EXPECT_EQ(back, V(kOne, 0, 0));
    EXPECT_EQ(Transform(Rotated(MatrixRotateX, 1024), up), V(0, 0, kOne));
    EXPECT_EQ(Transform(Rotated(MatrixRotateY, 1024), V(0, 0, kOne)), V(kOne, 0, 0));
    EXPECT_EQ(Rotated(MatrixRotateZ, -1024),
              (Matrix{{0, -kOne, 0, 0, kOne, 0, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne}}));
    const Matrix start = Rotated(MatrixRotateX, 300); // not the identity
    for (auto rotate : {MatrixRotateX, MatrixRotateY, MatrixRotateZ}) {
        const Matrix a = Rotated(rotate, 77, start);
        for (int32_t angle : {4096 + 77, -4096 + 77, INT32_MIN + 77})
            EXPECT_EQ(Rotated(rotate, angle, start), a) << angle;
    }
    const Fixed c = 65280, s = -256;
    EXPECT_EQ(Rotated(MatrixRotateX, 1),
              (Matrix{{kOne, 0, 0, 0, 0, c, 0, 0, 0, s, c, 0, 0, 0, 0, kOne}}));
    EXPECT_EQ(Rotated(MatrixRotateY, 1),
              (Matrix{{c, 0, s, 0, 0, kOne, 0, 0, 0, 0, c, 0, 0, 0, 0, kOne}}));
    EXPECT_EQ(Rotated(MatrixRotateZ, 1),
              (Matrix{{c, 0, 0, 0, s, c, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne}}));
}

// The last builder called acts first on a point. The rigid inverse and the
// point transform never read the fourth column; the inverse rebuilds it.
TEST(Matrix, BuildersReadFromTheOutsideInAndTheRigidInverseUndoesThem) {
    Matrix scaledFirst = Identity(), movedFirst = Identity(), placed = Identity(), back;
    MatrixScale(&scaledFirst, F(2.0), F(2.0), F(2.0));
    MatrixTranslate(&scaledFirst, F(1.0), F(2.0), F(3.0));
    EXPECT_EQ(V(scaledFirst.m[12], scaledFirst.m[13], scaledFirst.m[14]),
              V(F(2.0), F(4.0), F(6.0)));
    MatrixTranslate(&movedFirst, F(1.0), F(2.0), F(3.0));
    MatrixRigidInverse(&back, &movedFirst);
    EXPECT_EQ(back, (Matrix{{kOne, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne, 0, F(-1.0), F(-2.0), F(-3.0),
                             kOne}}));
    MatrixScale(&movedFirst, F(2.0), F(2.0), F(2.0));
    EXPECT_EQ(Transform(movedFirst, V(kOne, 0, 0)), V(F(3.0), F(2.0), F(3.0)));
    MatrixShear(&movedFirst, F(0.25), 0, 0, 0, 0, 0); // x leans toward y; the translation stays
    EXPECT_EQ(Transform(movedFirst, V(F(2.0), 0, 0)), V(F(5.0), F(3.0), F(3.0)));

    MatrixTranslate(&placed, F(5.0), F(-6.0), F(250.0));
    MatrixRotateY(&placed, 1024);
    MatrixRotateZ(&placed, -1024);
    const Vector3 p = V(F(1.0), F(2.0), F(-3.0)), there = Transform(placed, p);
    placed.m[3] = 0x55555;
    placed.m[7] = -1;
    placed.m[11] = INT32_MIN;
    placed.m[15] = 0;
    EXPECT_EQ(Transform(placed, p), there);
    MatrixRigidInverse(&back, &placed);
    EXPECT_EQ(V(back.m[3], back.m[7], back.m[11]), V(0, 0, 0));
    EXPECT_EQ(back.m[15], kOne);
    EXPECT_EQ(Transform(back, there), p);
    MatrixInvertRigid(&placed);
    EXPECT_EQ(placed, back);
}

// Products of all 16 elements through FixMul; MatrixMultiply(out, a, b) and
// pre-multiplying let b act first, post-multiplying acts after.
TEST(Matrix, ProductsGoThroughFixMulAndTransposesMoveElements) {
    const Matrix m{
        {0x123, -1, 0x10000 + 0x7F, -0x180, kOne, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}};
    const Matrix identity = Identity(), turn = Rotated(MatrixRotateZ, 1024);
    Matrix pre = m, post = m, move = Identity(), out;
    MatrixPreMultiply(&pre, &identity);
    MatrixPostMultiply(&post, &identity);
    EXPECT_EQ(pre, (Matrix{{0x100, -256, kOne, -512, kOne, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(post, pre);
    MatrixTranslate(&move, F(10.0), 0, 0);
    MatrixMultiply(&out, &move, &turn);
    pre = post = move;
    MatrixPreMultiply(&pre, &turn);
    MatrixPostMultiply(&post, &turn);
    EXPECT_EQ(Transform(out, V(kOne, 0, 0)), V(F(10.0), kOne, 0));
    EXPECT_EQ(pre, out);
    EXPECT_EQ(Transform(post, V(kOne, 0, 0)), V(0, F(11.0), 0));
    const Matrix a{{F(1.5), 0, 0, F(2.0), 0, kOne, 0, 0, 0, 0, kOne, 0, F(3.0), 0, 0, F(0.5)}};
    MatrixMultiply(&out, &a, &a); // the fourth column takes part
    EXPECT_EQ(out.m[0], F(8.25));
    EXPECT_EQ(out.m[3], F(4.0));
    EXPECT_EQ(out.m[12], F(6.0));
    EXPECT_EQ(out.m[15], F(6.25));

    Matrix full{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}}, copy;
    MatrixTransposeCopy(&copy, &full);
    MatrixTranspose(&full);
    EXPECT_EQ(full, (Matrix{{0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15}}));
    EXPECT_EQ(copy, full);
    MatrixTranspose3x3(&full);
    EXPECT_EQ(full, (Matrix{{0, 1, 2, 12, 4, 5, 6, 13, 8, 9, 10, 14, 3, 7, 11, 15}}));
}

// Rebuilt after its clean-up ran at exit; given out even if it cannot register.
TEST(Matrix, IdentityIsBuiltOnceAndCleanedUpAtExit) {
    RunExitSequence(); // whatever earlier tests registered has run
    ASSERT_EQ(ExitFunctionCount(), 0);
    const Matrix first = Identity();
    EXPECT_EQ(Identity(), first);
    EXPECT_EQ(ExitFunctionCount(), 1);
    EXPECT_EQ(first, (Matrix{{kOne, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne}}));
    RunExitSequence();
    host::LocalHeapResetCount();
    host::LocalHeapSetFaults(1, 0);
    EXPECT_EQ(Identity(), first); // not registered, still given out
    EXPECT_EQ(ExitFunctionCount(), 0);
    host::LocalHeapSetFaults(0, 0);
    Identity(); // built already: nothing more to register
    EXPECT_EQ(ExitFunctionCount(), 0);
}
