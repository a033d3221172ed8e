// The hour mark: a cube from -6 to 6 on every axis with eight shared
// vertices. In every triangle the first vertex carries that face's normal;
// the other two may carry another face's.
#include "math/mesh.h"

namespace {

constexpr Fixed kHalf = 6 * kFixedOne;
constexpr Fixed kOne = kFixedOne;

MeshVertex markVertices[8] = {
    {{-kHalf, kHalf, -kHalf}, {0, kOne, 0}, 0, 0},   {{kHalf, kHalf, -kHalf}, {0, 0, -kOne}, 0, 0},
    {{-kHalf, -kHalf, -kHalf}, {0, 0, -kOne}, 0, 0}, {{kHalf, -kHalf, -kHalf}, {kOne, 0, 0}, 0, 0},
    {{-kHalf, kHalf, kHalf}, {0, 0, kOne}, 0, 0},    {{kHalf, kHalf, kHalf}, {0, 0, kOne}, 0, 0},
    {{-kHalf, -kHalf, kHalf}, {-kOne, 0, 0}, 0, 0},  {{kHalf, -kHalf, kHalf}, {0, -kOne, 0}, 0, 0},
};

MeshFace markFaces[12] = {{2, 0, 1}, {2, 1, 3}, {4, 6, 7}, {4, 7, 5}, {6, 4, 0}, {6, 0, 2},
                          {3, 1, 5}, {3, 5, 7}, {0, 4, 5}, {0, 5, 1}, {7, 6, 2}, {7, 2, 3}};

} // namespace

Mesh MarkMesh = {8, 36, markVertices, markFaces};
