// The clock hand: an octagonal bar along +x from -15.3846 to 100.0. Two caps
// of eight vertices each, then eight side quads of four vertices each, so
// every flat face has its own normal. Both caps carry the normal (-1, 0, 0)
// and the same winding, so the far cap faces back along the bar like the near
// one.
#include "math/mesh.h"

#include <array>

namespace {

struct OctagonPoint {
    Fixed y;
    Fixed z;
};

// The cross-section P0..P7; going round it the order is P1, P0, P4, P6, P7,
// P5, P3, P2.
constexpr OctagonPoint kOctagon[8] = {
    {0x3C4EA, 0x3D8A0}, {0x56275, 0},         {0x3D8A0, -0x3C4EA}, {0, -0x56275},
    {0, 0x56275},       {-0x3C4EA, -0x3D8A0}, {-0x3D8A0, 0x3C4EA}, {-0x56275, 0},
};

constexpr Fixed kNearX = static_cast<Fixed>(0xFFF09D8Bu); // -15.3846
constexpr Fixed kFarX = 0x640000;                         // 100.0

// Side quad q runs from Pa to Pb: near a, near b, far b, far a.
struct SideQuad {
    int a;
    int b;
    Vector3 normal;
};

constexpr SideQuad kSides[8] = {
    {5, 3, {0, -0x601C, -0xED46}}, {7, 5, {0, -0xEC11, -0x6307}}, {6, 7, {0, -0xED46, 0x601C}},
    {4, 6, {0, -0x6307, 0xEC11}},  {0, 4, {0, 0x601C, 0xED46}},   {1, 0, {0, 0xEC11, 0x6307}},
    {2, 1, {0, 0xED46, -0x601C}},  {3, 2, {0, 0x6307, -0xEC11}},
};

constexpr MeshFace kCap[6] = {{0, 1, 2}, {2, 3, 0}, {4, 0, 3}, {3, 5, 4}, {6, 4, 5}, {5, 7, 6}};

constexpr int kVertexCount = 48;
constexpr int kTriangleCount = 28;

constexpr MeshVertex At(Fixed x, int point, Vector3 normal) {
    return {{x, kOctagon[point].y, kOctagon[point].z}, normal, 0, 0};
}

constexpr std::array<MeshVertex, kVertexCount> BuildVertices() {
    constexpr Vector3 kCapNormal{-kFixedOne, 0, 0};
    std::array<MeshVertex, kVertexCount> vertices{};
    for (int i = 0; i < 8; ++i) {
        vertices[i] = At(kNearX, i, kCapNormal);
        vertices[8 + i] = At(kFarX, i, kCapNormal);
    }
    for (int q = 0; q < 8; ++q) {
        const SideQuad& side = kSides[q];
        const int b = 16 + 4 * q;
        vertices[b] = At(kNearX, side.a, side.normal);
        vertices[b + 1] = At(kNearX, side.b, side.normal);
        vertices[b + 2] = At(kFarX, side.b, side.normal);
        vertices[b + 3] = At(kFarX, side.a, side.normal);
    }
    return vertices;
}

constexpr MeshFace Face(int i0, int i1, int i2) {
    return {static_cast<uint16_t>(i0), static_cast<uint16_t>(i1), static_cast<uint16_t>(i2)};
}

constexpr std::array<MeshFace, kTriangleCount> BuildFaces() {
    std::array<MeshFace, kTriangleCount> faces{};
    for (int i = 0; i < 6; ++i) {
        faces[i] = kCap[i];
        faces[6 + i] = Face(kCap[i].i0 + 8, kCap[i].i1 + 8, kCap[i].i2 + 8);
    }
    for (int q = 0; q < 8; ++q) {
        const int b = 16 + 4 * q;
        faces[12 + 2 * q] = Face(b, b + 1, b + 2);
        faces[13 + 2 * q] = Face(b + 2, b + 3, b);
    }
    return faces;
}

std::array<MeshVertex, kVertexCount> handVertices = BuildVertices();
std::array<MeshFace, kTriangleCount> handFaces = BuildFaces();

} // namespace

Mesh HandMesh = {kVertexCount, 3 * kTriangleCount, handVertices.data(), handFaces.data()};
