// The cube's corners and the picture on its sides.
#include "cube.h"

#include <kq3d/render/renderer.h>

namespace {

// Each side: its outward normal and two directions along it, the same way
// round on every side (across x up points inward).
struct Side {
    Vector3 normal;
    Vector3 across;
    Vector3 up;
};
constexpr Fixed k1 = kFixedOne;
constexpr Side kSides[6] = {
    {{0, 0, -k1}, {k1, 0, 0}, {0, k1, 0}},  {{0, 0, k1}, {-k1, 0, 0}, {0, k1, 0}},
    {{-k1, 0, 0}, {0, 0, -k1}, {0, k1, 0}}, {{k1, 0, 0}, {0, 0, k1}, {0, k1, 0}},
    {{0, k1, 0}, {k1, 0, 0}, {0, 0, k1}},   {{0, -k1, 0}, {k1, 0, 0}, {0, 0, -k1}},
};

constexpr int kPictureSide = 64;
constexpr int kPictureLevelBits = 4;

} // namespace

void CubeMake(Cube* cube, Fixed half) {
    // The corners of a side, as steps along its two directions, and where
    // each sits in the picture (u, v from 0 to 1). Their order makes a side
    // that faces the camera a front face: clockwise on the screen, whose rows
    // grow downward.
    constexpr int kAcross[4] = {1, -1, -1, 1};
    constexpr int kUp[4] = {-1, -1, 1, 1};
    for (int s = 0; s < 6; ++s) {
        const Side& side = kSides[s];
        for (int c = 0; c < 4; ++c) {
            MeshVertex& v = cube->vertices[s * 4 + c];
            const auto along = [&](Fixed n, Fixed a, Fixed u) {
                return FixMul(n + kAcross[c] * a + kUp[c] * u, half);
            };
            v.position = {along(side.normal.x, side.across.x, side.up.x),
                          along(side.normal.y, side.across.y, side.up.y),
                          along(side.normal.z, side.across.z, side.up.z)};
            v.normal = side.normal;
            v.u = kAcross[c] < 0 ? 0 : kFixedOne;
            v.v = kUp[c] < 0 ? kFixedOne : 0;
        }
        const auto first = static_cast<uint16_t>(s * 4);
        cube->faces[s * 2] = {first, static_cast<uint16_t>(first + 1),
                              static_cast<uint16_t>(first + 2)};
        cube->faces[s * 2 + 1] = {first, static_cast<uint16_t>(first + 2),
                                  static_cast<uint16_t>(first + 3)};
    }
    cube->mesh = {24, 36, cube->vertices, cube->faces};
}

Texture* CubePicture() {
    // Four squares of two colours inside a light frame.
    uint16_t texels[kPictureSide * kPictureSide];
    for (int y = 0; y < kPictureSide; ++y) {
        for (int x = 0; x < kPictureSide; ++x) {
            const bool frame = x < 4 || y < 4 || x >= kPictureSide - 4 || y >= kPictureSide - 4;
            const bool dark = (x < kPictureSide / 2) != (y < kPictureSide / 2);
            const uint32_t colour = frame ? 0xF0F0E0 : (dark ? 0x2050C0 : 0xF0A030);
            texels[y * kPictureSide + x] = PackRgb565(colour);
        }
    }
    Texture* picture = TextureNew();
    if (picture != nullptr &&
        !TextureCreate(picture, kPictureSide, kPictureSide, kPictureLevelBits, texels))
        TextureDelete(picture);
    return picture;
}
