#include "math/mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <tuple>
#include <vector>

namespace {

constexpr Fixed F(double value) {
    return static_cast<Fixed>(value * 65536.0);
}

MeshVertex At(Fixed x, Fixed y, Fixed z) {
    return {{x, y, z}, {0, 0, 0}, 0, 0};
}

std::vector<MeshVertex> Copy(const Mesh& mesh) {
    return std::vector<MeshVertex>(mesh.vertices, mesh.vertices + mesh.vertexCount);
}

struct Exact {
    int64_t x, y, z;
};

Exact Cross(const Vector3& a, const Vector3& b, const Vector3& c) {
    // Positions in 1/256 units, so the products fit in 64 bits.
    const int64_t e1x = (b.x - a.x) / 256, e1y = (b.y - a.y) / 256, e1z = (b.z - a.z) / 256;
    const int64_t e2x = (c.x - a.x) / 256, e2y = (c.y - a.y) / 256, e2z = (c.z - a.z) / 256;
    return {e1y * e2z - e1z * e2y, e1z * e2x - e1x * e2z, e1x * e2y - e1y * e2x};
}

int64_t Dot(const Exact& n, const Vector3& v) {
    return n.x * v.x + n.y * v.y + n.z * v.z;
}

double Length(const Vector3& v) {
    return std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
}

// The ball's points in their published numbering: the northern points, the
// equator, then the southern images (x, -y, -z) of points 0..15.
std::vector<Vector3> BallPoints() {
    const double north[16][3] = {
        {0, 50.0, 0},           {24.75, 42.5, -8.0},     {0, 42.5, -26.25},
        {-24.75, 42.5, -8.0},   {-15.25, 42.5, 21.25},   {15.25, 42.5, 21.25},
        {24.75, 26.25, -34.25}, {-24.75, 26.25, -34.25}, {40.25, 26.25, 13.0},
        {-40.25, 26.25, 13.0},  {0, 26.25, 42.5},        {42.5, 22.25, -13.75},
        {-42.5, 22.25, -13.75}, {0, 22.25, -44.5},       {26.25, 22.25, 36.0},
        {-26.25, 22.25, 36.0}};
    const double equator[10][2] = {
        {50.0, 0},        {-50.0, 0},    {40.25, 29.25}, {40.25, -29.25}, {-40.25, 29.25},
        {-40.25, -29.25}, {15.25, 47.5}, {15.25, -47.5}, {-15.25, 47.5},  {-15.25, -47.5}};
    std::vector<Vector3> points;
    for (const auto& p : north)
        points.push_back({F(p[0]), F(p[1]), F(p[2])});
    for (const auto& p : equator)
        points.push_back({F(p[0]), 0, F(p[1])});
    for (int i = 0; i < 16; ++i)
        points.push_back({points[i].x, -points[i].y, -points[i].z});
    return points;
}

int PointNumber(const std::vector<Vector3>& points, const Vector3& p) {
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i].x == p.x && points[i].y == p.y && points[i].z == p.z)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

TEST(MeshBounds, StartsAt29999AndTracksEachAxisApart) {
    Vector3 max, min;
    MeshBounds(nullptr, 0, &max, &min);
    EXPECT_EQ(static_cast<uint32_t>(max.x), 0x8AD10000u);
    EXPECT_EQ(max.y, max.x);
    EXPECT_EQ(max.z, max.x);
    EXPECT_EQ(min.x, 0x752F0000);
    EXPECT_EQ(min.y, min.x);
    EXPECT_EQ(min.z, min.x);
    const MeshVertex vertices[] = {At(F(1.0), F(-5.0), F(2.0)), At(F(-3.0), F(4.0), F(2.0))};
    MeshBounds(vertices, 2, &max, &min);
    EXPECT_EQ(max.x, F(1.0));
    EXPECT_EQ(max.y, F(4.0));
    EXPECT_EQ(max.z, F(2.0));
    EXPECT_EQ(min.x, F(-3.0));
    EXPECT_EQ(min.y, F(-5.0));
    EXPECT_EQ(min.z, F(2.0));
}

TEST(GeneratePlanarUV, ProjectsAlongTheUnusedAxisThroughFixMul) {
    std::vector<MeshVertex> box = {At(0, F(10.0), F(-50.0)), At(F(3.0), F(11.0), F(50.0)),
                                   At(F(1.5), F(10.5), 0)};
    GeneratePlanarUV(0, box.data(), 3);
    EXPECT_EQ(box[1].u, 0xFF00); // extent 3.0: the factor loses its low bits
    EXPECT_EQ(box[1].v, F(1.0)); // extent 1.0 reaches 1.0 exactly
    EXPECT_EQ(box[2].v, F(0.5));
    GeneratePlanarUV(1, box.data(), 3);
    EXPECT_EQ(box[1].v, F(0.78125)); // extent 100.0: the factor enters as 2/256
    EXPECT_EQ(box[0].v, 0);
    GeneratePlanarUV(2, box.data(), 3);
    EXPECT_EQ(box[1].u, F(1.0));
    EXPECT_EQ(box[1].v, F(0.78125));

    // Selectors other than 0..2 and empty arrays change nothing.
    std::vector<MeshVertex> before = box;
    for (int axes : {3, 7, -1})
        GeneratePlanarUV(axes, box.data(), 3);
    GeneratePlanarUV(0, box.data(), 0);
    for (size_t i = 0; i < box.size(); ++i) {
        EXPECT_EQ(box[i].u, before[i].u);
        EXPECT_EQ(box[i].v, before[i].v);
    }

    // Flat along a projected axis: that coordinate is 0, the other still set.
    std::vector<MeshVertex> flat = {At(F(2.0), F(7.0), 0), At(F(4.0), F(7.0), 0)};
    flat[0].v = flat[1].v = 123;
    GeneratePlanarUV(0, flat.data(), 2);
    EXPECT_EQ(flat[1].u, F(1.0));
    EXPECT_EQ(flat[0].v, 0);
    EXPECT_EQ(flat[1].v, 0);
}

TEST(GenerateCylindricalUV, FoldsTheAngleAroundYAndRunsVAlongY) {
    std::vector<MeshVertex> v = {At(0, F(-50.0), F(50.0)),
                                 At(F(50.0), F(-25.0), 0),
                                 At(F(-50.0), 0, 0),
                                 At(0, F(25.0), F(-50.0)),
                                 At(0, F(50.0), 0),
                                 At(F(50.0), F(10.0), F(50.0)),
                                 At(F(-50.0), F(10.0), F(50.0)),
                                 At(F(-50.0), F(10.0), F(-50.0)),
                                 At(1, 0, F(-50.0))};
    GenerateCylindricalUV(v.data(), static_cast<int>(v.size()));
    const Fixed u[] = {0, 0x8000, 0x8000, 0, 0, 0x4000, 0x4000, 0xC000, 0xFFFF};
    for (size_t i = 0; i < v.size(); ++i)
        EXPECT_EQ(v[i].u, u[i]) << i;
    EXPECT_EQ(v[0].v, 0);
    EXPECT_EQ(v[1].v, F(25.0) / 128);
    EXPECT_EQ(v[4].v, 0xC800);

    // All at one height: v is 0, u is still projected.
    std::vector<MeshVertex> ring = {At(F(50.0), F(3.0), 0), At(0, F(3.0), F(-50.0))};
    ring[0].v = ring[1].v = 77;
    GenerateCylindricalUV(ring.data(), 2);
    EXPECT_EQ(ring[0].u, 0x8000);
    EXPECT_EQ(ring[0].v, 0);
    EXPECT_EQ(ring[1].v, 0);
}

TEST(GenerateCylindricalUV, GivesTheBallExactVAndMirroredU) {
    std::vector<MeshVertex> ball = Copy(BallMesh);
    for (const MeshVertex& vertex : ball) {
        ASSERT_EQ(vertex.u, 0);
        ASSERT_EQ(vertex.v, 0);
    }
    GenerateCylindricalUV(ball.data(), static_cast<int>(ball.size()));
    std::map<std::tuple<Fixed, Fixed, Fixed>, std::set<Fixed>> uByMirroredPoint;
    for (const MeshVertex& vertex : ball) {
        const Vector3& p = vertex.position;
        EXPECT_EQ(vertex.v, (p.y + F(50.0)) / 128);
        EXPECT_GE(vertex.u, 0);
        EXPECT_LT(vertex.u, 0x10000);
        uByMirroredPoint[{std::abs(p.x), p.y, p.z}].insert(vertex.u);
    }
    for (const auto& entry : uByMirroredPoint)
        EXPECT_EQ(entry.second.size(), 1u);
    EXPECT_EQ(ball[0].v, 0xC800); // the north pole
}

TEST(MeshTransform, MovesPositionsOnly) {
    std::vector<MeshVertex> v = {{{0x123, -1, F(2.5) + 0x7F}, {1, 2, 3}, 4, 5}};
    Matrix identity;
    MatrixIdentity(&identity);
    MeshTransform(&identity, v.data(), 1);
    EXPECT_EQ(v[0].position.x, 0x100);
    EXPECT_EQ(v[0].position.y, -256);
    EXPECT_EQ(v[0].position.z, F(2.5));
    EXPECT_EQ(v[0].normal.x, 1);
    EXPECT_EQ(v[0].normal.y, 2);
    EXPECT_EQ(v[0].normal.z, 3);
    EXPECT_EQ(v[0].u, 4);
    EXPECT_EQ(v[0].v, 5);
    Matrix move = identity;
    MatrixTranslate(&move, F(1.0), 0, 0);
    MatrixRotateZ(&move, 1024);
    std::vector<MeshVertex> w = {At(F(2.0), 0, 0)};
    MeshTransform(&move, w.data(), 1);
    EXPECT_EQ(w[0].position.x, F(1.0));
    EXPECT_EQ(w[0].position.y, F(2.0));
}

TEST(GenerateNormals, SumsFaceCrossProductsAndNormalises) {
    std::vector<MeshVertex> v = {At(0, 0, 0), At(F(1.0), 0, 0), At(0, F(1.0), 0), At(5, 5, 5)};
    v[3].normal = {F(1.0), 0, 0};
    const MeshFace face{0, 1, 2};
    GenerateNormals(v.data(), 4, &face, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(v[i].normal.x, 0);
        EXPECT_EQ(v[i].normal.y, 0);
        EXPECT_EQ(v[i].normal.z, F(1.0));
    }
    EXPECT_EQ(v[3].normal.x, 0); // used by no triangle

    // Two triangles folded along an edge: the shared vertices get the sum.
    std::vector<MeshVertex> fold = {At(0, 0, 0), At(F(1.0), 0, 0), At(0, F(1.0), 0),
                                    At(0, 0, F(1.0))};
    const MeshFace faces[] = {{0, 1, 2}, {0, 3, 1}, {0, 1, 9}}; // the last names no vertex
    GenerateNormals(fold.data(), 4, faces, 9);
    EXPECT_EQ(fold[0].normal.x, 0); // (0, 1, 1) measures as length 1: unchanged
    EXPECT_EQ(fold[0].normal.y, F(1.0));
    EXPECT_EQ(fold[0].normal.z, F(1.0));
    EXPECT_EQ(fold[2].normal.z, F(1.0));
    EXPECT_EQ(fold[3].normal.y, F(1.0));
}

TEST(BallMesh, IsTheOutwardHullOfTheNumberedPointsInOrder) {
    ASSERT_EQ(BallMesh.vertexCount, 240);
    ASSERT_EQ(BallMesh.indexCount, 240);
    const std::vector<Vector3> points = BallPoints();
    const MeshVertex* v = BallMesh.vertices;
    std::vector<int> uses(points.size(), 0);
    std::set<std::pair<int, int>> edges;
    std::array<int, 3> previous{-1, -1, -1};
    for (int t = 0; t < 80; ++t) {
        const MeshFace& face = BallMesh.faces[t];
        ASSERT_EQ(face.i0, 3 * t);
        ASSERT_EQ(face.i1, 3 * t + 1);
        ASSERT_EQ(face.i2, 3 * t + 2);
        const MeshVertex& a = v[3 * t];
        const MeshVertex& b = v[3 * t + 1];
        const MeshVertex& c = v[3 * t + 2];
        std::array<int, 3> number{};
        for (int k = 0; k < 3; ++k) {
            number[k] = PointNumber(points, v[3 * t + k].position);
            ASSERT_GE(number[k], 0) << "triangle " << t;
            ++uses[number[k]];
        }
        EXPECT_LT(number[0], number[1]) << t;
        EXPECT_LT(number[0], number[2]) << t;
        EXPECT_LT(previous, number) << t;
        previous = number;
        for (int k = 0; k < 3; ++k)
            edges.insert(std::minmax(number[k], number[(k + 1) % 3]));

        // Outward: every point lies on or behind the triangle's plane.
        const Exact n = Cross(a.position, b.position, c.position);
        for (const Vector3& p : points) {
            const Vector3 d{p.x - a.position.x, p.y - a.position.y, p.z - a.position.z};
            ASSERT_LE(Dot(n, d), 0) << "triangle " << t;
        }
        // The stored normal is the unit normal rounded to the nearest 1/65536.
        const double length = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
        const Vector3 expected{static_cast<Fixed>(std::lround(n.x / length * 65536.0)),
                               static_cast<Fixed>(std::lround(n.y / length * 65536.0)),
                               static_cast<Fixed>(std::lround(n.z / length * 65536.0))};
        for (int k = 0; k < 3; ++k) {
            const Vector3& normal = v[3 * t + k].normal;
            EXPECT_EQ(normal.x, expected.x) << t;
            EXPECT_EQ(normal.y, expected.y) << t;
            EXPECT_EQ(normal.z, expected.z) << t;
            EXPECT_NEAR(Length(normal), 65536.0, 1.0);
        }
    }
    EXPECT_EQ(static_cast<int>(std::count(uses.begin(), uses.end(), 5)), 12);
    EXPECT_EQ(static_cast<int>(std::count(uses.begin(), uses.end(), 6)), 30);
    EXPECT_EQ(42 - static_cast<int>(edges.size()) + 80, 2); // Euler characteristic
    for (const Vector3& p : points) {
        EXPECT_GE(Length(p), 49.74 * 65536);
        EXPECT_LE(Length(p), 50.0 * 65536);
    }
}

TEST(MarkMesh, IsAnOutwardCubeWithFaceNormalsOnFirstVertices) {
    ASSERT_EQ(MarkMesh.vertexCount, 8);
    ASSERT_EQ(MarkMesh.indexCount, 36);
    std::map<std::tuple<Fixed, Fixed, Fixed>, int> trianglesPerNormal;
    for (int t = 0; t < 12; ++t) {
        const MeshFace& f = MarkMesh.faces[t];
        const MeshVertex& a = MarkMesh.vertices[f.i0];
        const Exact n =
            Cross(a.position, MarkMesh.vertices[f.i1].position, MarkMesh.vertices[f.i2].position);
        // Parallel to the first vertex's unit normal, pointing out.
        const Vector3& normal = a.normal;
        EXPECT_EQ(n.x * normal.y, n.y * normal.x) << t;
        EXPECT_EQ(n.y * normal.z, n.z * normal.y) << t;
        EXPECT_GT(Dot(n, normal), 0) << t;
        EXPECT_GT(Dot(n, a.position), 0) << t;
        ++trianglesPerNormal[{normal.x, normal.y, normal.z}];
    }
    EXPECT_EQ(trianglesPerNormal.size(), 6u);
    for (const auto& entry : trianglesPerNormal)
        EXPECT_EQ(entry.second, 2);
    for (int i = 0; i < 8; ++i) {
        const Vector3& p = MarkMesh.vertices[i].position;
        EXPECT_EQ(std::abs(p.x), F(6.0));
        EXPECT_EQ(std::abs(p.y), F(6.0));
        EXPECT_EQ(std::abs(p.z), F(6.0));
        EXPECT_EQ(Length(MarkMesh.vertices[i].normal), 65536.0);
    }
    EXPECT_EQ(MarkMesh.vertices[6].position.x, F(-6.0));
    EXPECT_EQ(MarkMesh.vertices[6].normal.x, F(-1.0));
}

TEST(HandMesh, IsAnOctagonalBarWithBackwardCaps) {
    ASSERT_EQ(HandMesh.vertexCount, 48);
    ASSERT_EQ(HandMesh.indexCount, 84);
    const MeshVertex* v = HandMesh.vertices;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(v[i].position.x, i < 8 ? static_cast<Fixed>(0xFFF09D8Bu) : 0x640000);
        EXPECT_EQ(v[i].position.y, v[i % 8].position.y);
        EXPECT_EQ(v[i].normal.x, F(-1.0));
    }
    EXPECT_EQ(v[1].position.y, 0x56275);
    EXPECT_EQ(v[5].position.z, -0x3D8A0);
    for (int t = 0; t < 28; ++t) {
        const MeshFace& f = HandMesh.faces[t];
        const MeshVertex& a = v[f.i0];
        const Exact n = Cross(a.position, v[f.i1].position, v[f.i2].position);
        if (t < 12) {
            EXPECT_LT(n.x, 0) << t; // both caps face -x
            EXPECT_EQ(f.i0 < 8, t < 6) << t;
            continue;
        }
        const int b = 16 + 4 * ((t - 12) / 2);
        EXPECT_EQ(f.i0, t % 2 == 0 ? b : b + 2) << t;
        EXPECT_GT(Dot(n, a.normal), 0) << t;               // wound like its normal
        EXPECT_EQ(a.normal.x, 0) << t;                     // sides run along the bar
        EXPECT_NEAR(Length(a.normal), 65536.0, 40.0) << t; // unit within the table's rounding
        const Vector3 mid{0, v[b].position.y + v[b + 1].position.y,
                          v[b].position.z + v[b + 1].position.z};
        EXPECT_GT(Dot(n, mid), 0) << t; // and out of the bar
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(v[b + k].normal.y, a.normal.y);
    }
}
