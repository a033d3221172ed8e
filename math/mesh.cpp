// Mesh preparation: bounds, texture-coordinate projections, transforming
// positions in place, and vertex normals from faces.
#include "math/mesh.h"

#include <cmath>

namespace {

constexpr Fixed kBoundsStart = 29999 * kFixedOne; // not the type's limits

// 1/extent for a projection; an extent of 0 means every vertex sits at the
// minimum on that axis, so its coordinate is 0 whatever the factor, and the
// division is not made.
Fixed InverseExtent(Fixed max, Fixed min) {
    const Fixed extent = max - min;
    return extent == 0 ? 0 : FixDiv(kFixedOne, extent);
}

} // namespace

void MeshBounds(const MeshVertex* vertices, int count, Vector3* maxOut, Vector3* minOut) {
    *maxOut = {-kBoundsStart, -kBoundsStart, -kBoundsStart};
    *minOut = {kBoundsStart, kBoundsStart, kBoundsStart};
    for (int i = 0; i < count; ++i) {
        const Vector3& p = vertices[i].position;
        if (p.x > maxOut->x) maxOut->x = p.x;
        if (p.x < minOut->x) minOut->x = p.x;
        if (p.y > maxOut->y) maxOut->y = p.y;
        if (p.y < minOut->y) minOut->y = p.y;
        if (p.z > maxOut->z) maxOut->z = p.z;
        if (p.z < minOut->z) minOut->z = p.z;
    }
}

// Parallel projection along the unused axis. Because FixMul drops the low 8
// bits of the factor, the far side reaches exactly 1.0 only for extents whose
// inverse is a multiple of 1/256.
void GeneratePlanarUV(int axes, MeshVertex* vertices, int count) {
    if (axes < 0 || axes > 2 || count <= 0) return;
    Vector3 max, min;
    MeshBounds(vertices, count, &max, &min);
    // Members of Vector3 by axis: u from the first, v from the second.
    static constexpr Fixed Vector3::*kAxes[3][2] = {
        {&Vector3::x, &Vector3::y}, {&Vector3::x, &Vector3::z}, {&Vector3::y, &Vector3::z}};
    const auto uAxis = kAxes[axes][0];
    const auto vAxis = kAxes[axes][1];
    const Fixed ku = InverseExtent(max.*uAxis, min.*uAxis);
    const Fixed kv = InverseExtent(max.*vAxis, min.*vAxis);
    for (int i = 0; i < count; ++i) {
        const Vector3& p = vertices[i].position;
        vertices[i].u = FixMul(p.*uAxis - min.*uAxis, ku);
        vertices[i].v = FixMul(p.*vAxis - min.*vAxis, kv);
    }
}

// u from the angle around the y axis, folded so it is mirror-symmetric about
// the y-z plane (0 at +z, 0.5 at +x and -x, 1.0 at -z masked to 0); v along y.
void GenerateCylindricalUV(MeshVertex* vertices, int count) {
    if (count <= 0) return;
    Vector3 max, min;
    MeshBounds(vertices, count, &max, &min);
    const Fixed kv = InverseExtent(max.y, min.y);
    constexpr float kToUnits = 1.0f / 65536.0f;
    constexpr double kInversePi = 0.318309886183790671537767526745028724;
    for (int i = 0; i < count; ++i) {
        const Vector3& p = vertices[i].position;
        const double x = static_cast<float>(p.x) * kToUnits;
        const double z = static_cast<float>(p.z) * kToUnits;
        double angle = std::atan2(x, z);
        if (angle < 0) angle = -angle;
        // angle lies in [0, pi], so the product lies in [0, 65536].
        vertices[i].u = static_cast<Fixed>(angle * kInversePi * 65536.0) & 0xFFFF;
        vertices[i].v = FixMul(p.y - min.y, kv);
    }
}

void MeshTransform(const Matrix* m, MeshVertex* vertices, int count) {
    for (int i = 0; i < count; ++i) {
        Vector3 moved;
        MatrixTransformPoint(m, &moved, &vertices[i].position);
        vertices[i].position = moved;
    }
}

// Each face adds its unnormalised cross product to its three vertices, so
// larger faces weigh more. A face naming a vertex beyond the array is skipped
// rather than written past it.
void GenerateNormals(MeshVertex* vertices, int vertexCount, const MeshFace* faces, int indexCount) {
    for (int i = 0; i < vertexCount; ++i)
        vertices[i].normal = {0, 0, 0};
    const int faceCount = indexCount / 3;
    for (int f = 0; f < faceCount; ++f) {
        const MeshFace& face = faces[f];
        if (face.i0 >= vertexCount || face.i1 >= vertexCount || face.i2 >= vertexCount) continue;
        MeshVertex& a = vertices[face.i0];
        MeshVertex& b = vertices[face.i1];
        MeshVertex& c = vertices[face.i2];
        const Vector3 e1{b.position.x - a.position.x, b.position.y - a.position.y,
                         b.position.z - a.position.z};
        const Vector3 e2{c.position.x - a.position.x, c.position.y - a.position.y,
                         c.position.z - a.position.z};
        const Vector3 n{FixMul(e1.y, e2.z) - FixMul(e1.z, e2.y),
                        FixMul(e1.z, e2.x) - FixMul(e1.x, e2.z),
                        FixMul(e1.x, e2.y) - FixMul(e1.y, e2.x)};
        MeshVertex* const corners[3] = {&a, &b, &c};
        for (MeshVertex* vertex : corners) {
            vertex->normal.x += n.x;
            vertex->normal.y += n.y;
            vertex->normal.z += n.z;
        }
    }
    NormalizeNormals(vertices, vertexCount);
}

void NormalizeNormals(MeshVertex* vertices, int count) {
    for (int i = 0; i < count; ++i)
        VectorNormalize(&vertices[i].normal);
}
