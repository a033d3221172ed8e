#include "math/mesh.h"
#include "math_test_util.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

MeshVertex At(double x, double y, double z) {
    return {{F(x), F(y), F(z)}, {0, 0, 0}, 0, 0};
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
