#include "math/mesh.h"
#include "math_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

MeshVertex At(double x, double y, double z) {
    return {{F(x), F(y), F(z)}, {0, 0, 0}, 0, 0};
}

struct Exact {
    int64_t x, y, z;
};

// (b - a) x (c - a) in 1/256 units, so the products fit in 64 bits.
Exact Cross(const Vector3& a, const Vector3& b, const Vector3& c) {
    const int64_t e1x = (b.x - a.x) / 256, e1y = (b.y - a.y) / 256, e1z = (b.z - a.z) / 256;
    const int64_t e2x = (c.x - a.x) / 256, e2y = (c.y - a.y) / 256, e2z = (c.z - a.z) / 256;
    return {e1y * e2z - e1z * e2y, e1z * e2x - e1x * e2z, e1x * e2y - e1y * e2x};
}

int64_t Dot(const Exact& n, const Vector3& v) {
    return n.x * v.x + n.y * v.y + n.z * v.z;
}

// The unit vector along n, rounded to the nearest 1/65536 (halves away from 0).
Vector3 RoundedUnit(const Exact& n) {
    const double length = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
    return V(static_cast<Fixed>(std::lround(n.x / length * 65536.0)),
             static_cast<Fixed>(std::lround(n.y / length * 65536.0)),
             static_cast<Fixed>(std::lround(n.z / length * 65536.0)));
}

} // namespace

// Selector 0 projects to (x, y), 1 to (x, z), 2 to (y, z), others nowhere;
// 1/extent enters FixMul, so 3.0 reaches 0xFF00, 100.0 0.78125; no extent 0.
TEST(MeshPreparation, BoundsAndPlanarProjection) {
    Vector3 max, min;
    MeshBounds(nullptr, 0, &max, &min);
    const Fixed lowest = static_cast<Fixed>(0x8AD10000u), highest = 0x752F0000;
    EXPECT_EQ(max, V(lowest, lowest, lowest));
    EXPECT_EQ(min, V(highest, highest, highest));
    std::vector<MeshVertex> box = {At(0, 10.0, -50.0), At(3.0, 11.0, 50.0), At(1.5, 10.5, 0)};
    GeneratePlanarUV(0, box.data(), 3);
    EXPECT_EQ(box[1].u, 0xFF00);
    EXPECT_EQ(box[1].v, F(1.0));
    EXPECT_EQ(box[2].v, F(0.5));
    GeneratePlanarUV(1, box.data(), 3);
    EXPECT_EQ(box[1].v, F(0.78125));
    EXPECT_EQ(box[0].v, 0);
    GeneratePlanarUV(2, box.data(), 3);
    for (int axes : {3, 7, -1})
        GeneratePlanarUV(axes, box.data(), 3);
    EXPECT_EQ(box[1].u, F(1.0));
    EXPECT_EQ(box[1].v, F(0.78125));
    box = {At(2.0, 7.0, 0), At(4.0, 7.0, 0)};
    box[1].v = 123;
    GeneratePlanarUV(0, box.data(), 2);
    EXPECT_EQ(box[1].u, F(1.0));
    EXPECT_EQ(box[1].v, 0);
}

// u: 0 at +z, 0.5 at +-x, 1.0 masked to 0 at -z, mirrored in x; v along y.
TEST(MeshPreparation, CylindricalProjectionFoldsTheAngleAroundY) {
    std::vector<MeshVertex> v = {At(0, -50.0, 50.0),    At(50.0, -25.0, 0),    At(-50.0, 0, 0),
                                 At(0, 25.0, -50.0),    At(0, 50.0, 0),        At(50.0, 10.0, 50.0),
                                 At(-50.0, 10.0, 50.0), At(-50.0, 10.0, -50.0)};
    v.push_back({{1, 0, F(-50.0)}, {0, 0, 0}, 0, 0});
    GenerateCylindricalUV(v.data(), static_cast<int>(v.size()));
    const Fixed u[] = {0, 0x8000, 0x8000, 0, 0, 0x4000, 0x4000, 0xC000, 0xFFFF};
    for (size_t i = 0; i < v.size(); ++i)
        EXPECT_EQ(v[i].u, u[i]) << i;
    EXPECT_EQ(v[1].v, F(25.0) / 128);
    EXPECT_EQ(v[4].v, 0xC800);
    std::vector<MeshVertex> ring = {At(50.0, 3.0, 0), At(0, 3.0, -50.0)};
    ring[1].v = 77;
    GenerateCylindricalUV(ring.data(), 2);
    EXPECT_EQ(ring[0].u, 0x8000);
    EXPECT_EQ(ring[1].v, 0);

    std::vector<MeshVertex> ball(BallMesh.vertices, BallMesh.vertices + BallMesh.vertexCount);
    GenerateCylindricalUV(ball.data(), static_cast<int>(ball.size()));
    for (const MeshVertex& a : ball) {
        EXPECT_EQ(a.v, (a.position.y + F(50.0)) / 128) << a.position;
        for (const MeshVertex& b : ball) { // b mirrors a in x
            if (b.position == V(-a.position.x, a.position.y, a.position.z)) {
                EXPECT_EQ(b.u, a.u) << a.position;
            }
        }
    }
}

// Normals: from 0, the sum of the faces' cross products, normalised; a face
// naming a missing vertex is skipped.
TEST(MeshPreparation, TransformAndNormals) {
    std::vector<MeshVertex> v = {{{0x123, -1, F(2.5) + 0x7F}, {1, 2, 3}, 4, 5}, At(2.0, 0, 0)};
    Matrix move;
    MatrixIdentity(&move);
    MeshTransform(&move, v.data(), 1);
    EXPECT_EQ(v[0].position, V(0x100, -256, F(2.5)));
    EXPECT_EQ(v[0].normal, V(1, 2, 3));
    EXPECT_EQ(v[0].u, 4);
    EXPECT_EQ(v[0].v, 5);
    MatrixTranslate(&move, F(1.0), 0, 0);
    MatrixRotateZ(&move, 1024);
    MeshTransform(&move, v.data() + 1, 1);
    EXPECT_EQ(v[1].position, V(F(1.0), F(2.0), 0));

    v = {At(0, 0, 0), At(2.0, 0, 0), At(0, 2.0, 0), At(0, 0, 1.0), At(5, 5, 5)};
    v[4].normal = {F(1.0), 0, 0};
    const MeshFace faces[] = {{0, 1, 2}, {0, 3, 1}, {0, 1, 9}};
    GenerateNormals(v.data(), 5, faces, 3);
    EXPECT_EQ(v[0].normal, V(0, 0, F(1.0)));
    EXPECT_EQ(v[4].normal, V(0, 0, 0));
    GenerateNormals(v.data(), 5, faces, 9);
    EXPECT_EQ(v[0].normal, V(0, F(0.5), F(1.0))); // (0, 2, 4) measured as 4
    EXPECT_EQ(v[3].normal, V(0, F(1.0), 0));
}

// Both caps face -x; side quad b..b+3 is (b, b+1, b+2), (b+2, b+3, b), facing
// out, its normal (as the table rounds it) on all four vertices.
TEST(HandMesh, IsAnOctagonalBarWithBackwardCaps) {
    ASSERT_EQ(HandMesh.vertexCount, 48);
    ASSERT_EQ(HandMesh.indexCount, 84);
    const MeshVertex* v = HandMesh.vertices;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(v[i].position.x, i < 8 ? static_cast<Fixed>(0xFFF09D8Bu) : 0x640000) << i;
        EXPECT_EQ(v[i].position.y, v[i % 8].position.y) << i;
        EXPECT_EQ(v[i].normal, V(F(-1.0), 0, 0)) << i;
    }
    EXPECT_EQ(v[1].position.y, 0x56275);
    EXPECT_EQ(v[5].position.z, -0x3D8A0);
    for (int t = 0; t < 28; ++t) {
        const MeshFace& f = HandMesh.faces[t];
        const Exact n = Cross(v[f.i0].position, v[f.i1].position, v[f.i2].position);
        const int b = 16 + 4 * ((t - 12) / 2);
        if (t < 12) {
            EXPECT_LT(n.x, 0) << t;
            EXPECT_EQ(f.i0 < 8, t < 6) << t;
            continue;
        }
        const Vector3 unit = RoundedUnit(n), normal = v[f.i0].normal;
        const Vector3 middle =
            V(0, v[b].position.y + v[b + 1].position.y, v[b].position.z + v[b + 1].position.z);
        EXPECT_EQ(f.i0, t % 2 == 0 ? b : b + 2) << t;
        EXPECT_EQ(normal.x, 0) << t;
        EXPECT_GT(Dot(n, middle), 0) << t;
        EXPECT_NEAR(normal.y, unit.y, 255) << t;
        EXPECT_NEAR(normal.z, unit.z, 255) << t;
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(v[b + k].normal, normal) << t;
    }
}
