// The ball: a geodesic sphere of radius 50 (an icosahedron subdivided once),
// poles on the y axis, drawn faceted. Its 42 points are numbered north to
// south; the 80 triangles are the faces of their convex hull, each given as
// its lowest-numbered point followed by the other two in outward winding, in
// ascending order of these triples. Triangle t owns vertices 3t..3t+2, all
// three carrying its outward unit normal (computed in double precision and
// rounded to the nearest 1/65536). u and v stay 0 until the texture
// coordinates are projected at set-up.
#include "math/mesh.h"

#include <array>

namespace {

constexpr Fixed F(double value) {
    return static_cast<Fixed>(value * 65536.0);
}

constexpr Vector3 P(double x, double y, double z) {
    return {F(x), F(y), F(z)};
}

// The northern points; the southern half is their image (x, -y, -z).
constexpr Vector3 kNorth[16] = {P(0, 50.0, 0), // 0: the pole
                                               // 1-5: the ring y = 42.5
                                P(24.75, 42.5, -8.0), P(0, 42.5, -26.25), P(-24.75, 42.5, -8.0),
                                P(-15.25, 42.5, 21.25), P(15.25, 42.5, 21.25),
                                // 6-10: the ring y = 26.25
                                P(24.75, 26.25, -34.25), P(-24.75, 26.25, -34.25),
                                P(40.25, 26.25, 13.0), P(-40.25, 26.25, 13.0), P(0, 26.25, 42.5),
                                // 11-15: the ring y = 22.25
                                P(42.5, 22.25, -13.75), P(-42.5, 22.25, -13.75), P(0, 22.25, -44.5),
                                P(26.25, 22.25, 36.0), P(-26.25, 22.25, 36.0)};

// 16-25: the equator.
constexpr Vector3 kEquator[10] = {P(50.0, 0, 0),       P(-50.0, 0, 0),      P(40.25, 0, 29.25),
                                  P(40.25, 0, -29.25), P(-40.25, 0, 29.25), P(-40.25, 0, -29.25),
                                  P(15.25, 0, 47.5),   P(15.25, 0, -47.5),  P(-15.25, 0, 47.5),
                                  P(-15.25, 0, -47.5)};

constexpr int kPointCount = 42;
constexpr int kTriangleCount = 80;

constexpr Vector3 Point(int i) {
    if (i < 16) return kNorth[i];
    if (i < 26) return kEquator[i - 16];
    const Vector3 n = kNorth[i - 26];
    return {n.x, -n.y, -n.z};
}

struct BallTriangle {
    int point[3];
    Vector3 normal;
};

// clang-format off
constexpr BallTriangle kTriangles[kTriangleCount] = {
    {{0, 1, 2}, {13011, 61760, -17646}},
    {{0, 2, 3}, {-13011, 61760, -17646}},
    {{0, 3, 4}, {-20904, 61741, 6789}},
    {{0, 4, 5}, {0, 61800, 21812}},
    {{0, 5, 1}, {20904, 61741, 6789}},
    {{1, 5, 8}, {37887, 52040, 12305}},
    {{1, 6, 2}, {23712, 51948, -32158}},
    {{1, 8, 11}, {48911, 43554, -2399}},
    {{1, 11, 6}, {40925, 43523, -26943}},
    {{2, 6, 13}, {12818, 43027, -47742}},
    {{2, 7, 3}, {-23712, 51948, -32158}},
    {{2, 13, 7}, {-12818, 43027, -47742}},
    {{3, 7, 12}, {-40925, 43523, -26943}},
    {{3, 9, 4}, {-37887, 52040, 12305}},
    {{3, 12, 9}, {-48911, 43554, -2399}},
    {{4, 9, 15}, {-38323, 43293, 30856}},
    {{4, 10, 5}, {0, 52059, 39810}},
    {{4, 15, 10}, {-17949, 43189, 45908}},
    {{5, 10, 14}, {17949, 43189, 45908}},
    {{5, 14, 8}, {38323, 43293, 30856}},
    {{6, 11, 19}, {48805, 21571, -38049}},
    {{6, 19, 23}, {37931, 12500, -51961}},
    {{6, 23, 13}, {20567, 21947, -58226}},
    {{7, 13, 25}, {-20567, 21947, -58226}},
    {{7, 21, 12}, {-48805, 21571, -38049}},
    {{7, 25, 21}, {-37931, 12500, -51961}},
    {{8, 14, 18}, {51119, 21586, 34870}},
    {{8, 16, 11}, {61711, 21978, 1904}},
    {{8, 18, 16}, {61015, 12590, 20338}},
    {{9, 12, 17}, {-61711, 21978, 1904}},
    {{9, 17, 20}, {-61015, 12590, 20338}},
    {{9, 20, 15}, {-51119, 21586, 34870}},
    {{10, 15, 24}, {-17959, 21704, 59172}},
    {{10, 22, 14}, {17959, 21704, 59172}},
    {{10, 24, 22}, {0, 12263, 64379}},
    {{11, 16, 19}, {61698, 8088, -20566}},
    {{12, 21, 17}, {-61698, 8088, -20566}},
    {{13, 23, 25}, {0, 8757, -64948}},
    {{14, 22, 18}, {38338, 8190, 52518}},
    {{15, 20, 24}, {-38338, 8190, 52518}},
    {{16, 18, 37}, {61698, -8088, 20566}},
    {{16, 34, 19}, {61015, -12590, -20338}},
    {{16, 37, 34}, {61711, -21978, -1904}},
    {{17, 21, 35}, {-61015, -12590, -20338}},
    {{17, 35, 38}, {-61711, -21978, -1904}},
    {{17, 38, 20}, {-61698, -8088, 20566}},
    {{18, 22, 32}, {37931, -12500, 51961}},
    {{18, 32, 37}, {48805, -21571, 38049}},
    {{19, 34, 40}, {51119, -21586, -34870}},
    {{19, 40, 23}, {38338, -8190, -52518}},
    {{20, 33, 24}, {-37931, -12500, 51961}},
    {{20, 38, 33}, {-48805, -21571, 38049}},
    {{21, 25, 41}, {-38338, -8190, -52518}},
    {{21, 41, 35}, {-51119, -21586, -34870}},
    {{22, 24, 39}, {0, -8757, 64948}},
    {{22, 39, 32}, {20567, -21947, 58226}},
    {{23, 36, 25}, {0, -12263, -64379}},
    {{23, 40, 36}, {17959, -21704, -59172}},
    {{24, 33, 39}, {-20567, -21947, 58226}},
    {{25, 36, 41}, {-17959, -21704, -59172}},
    {{26, 27, 28}, {13011, -61760, 17646}},
    {{26, 28, 29}, {-13011, -61760, 17646}},
    {{26, 29, 30}, {-20904, -61741, -6789}},
    {{26, 30, 31}, {0, -61800, -21812}},
    {{26, 31, 27}, {20904, -61741, -6789}},
    {{27, 31, 34}, {37887, -52040, -12305}},
    {{27, 32, 28}, {23712, -51948, 32158}},
    {{27, 34, 37}, {48911, -43554, 2399}},
    {{27, 37, 32}, {40925, -43523, 26943}},
    {{28, 32, 39}, {12818, -43027, 47742}},
    {{28, 33, 29}, {-23712, -51948, 32158}},
    {{28, 39, 33}, {-12818, -43027, 47742}},
    {{29, 33, 38}, {-40925, -43523, 26943}},
    {{29, 35, 30}, {-37887, -52040, -12305}},
    {{29, 38, 35}, {-48911, -43554, 2399}},
    {{30, 35, 41}, {-38323, -43293, -30856}},
    {{30, 36, 31}, {0, -52059, -39810}},
    {{30, 41, 36}, {-17949, -43189, -45908}},
    {{31, 36, 40}, {17949, -43189, -45908}},
    {{31, 40, 34}, {38323, -43293, -30856}},
};
// clang-format on

constexpr std::array<MeshVertex, 3 * kTriangleCount> BuildVertices() {
    std::array<MeshVertex, 3 * kTriangleCount> vertices{};
    for (int t = 0; t < kTriangleCount; ++t) {
        for (int k = 0; k < 3; ++k) {
            vertices[3 * t + k] = {Point(kTriangles[t].point[k]), kTriangles[t].normal, 0, 0};
        }
    }
    return vertices;
}

constexpr std::array<MeshFace, kTriangleCount> BuildFaces() {
    std::array<MeshFace, kTriangleCount> faces{};
    for (int t = 0; t < kTriangleCount; ++t) {
        faces[t] = {static_cast<uint16_t>(3 * t), static_cast<uint16_t>(3 * t + 1),
                    static_cast<uint16_t>(3 * t + 2)};
    }
    return faces;
}

static_assert(Point(41).y == F(-22.25) && Point(26).y == F(-50.0) && kPointCount == 42);

// Writable: the texture coordinates are filled in at set-up.
std::array<MeshVertex, 3 * kTriangleCount> ballVertices = BuildVertices();
std::array<MeshFace, kTriangleCount> ballFaces = BuildFaces();

} // namespace

Mesh BallMesh = {3 * kTriangleCount, 3 * kTriangleCount, ballVertices.data(), ballFaces.data()};
