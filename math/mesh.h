// Meshes: vertex and index arrays, their preparation, and the built-in meshes.
#pragma once
#include "math/fixed.h"
#include "math/matrix.h"

#include <cstdint>

struct MeshVertex {
    Vector3 position;
    Vector3 normal;
    Fixed u;
    Fixed v;
};

struct MeshFace {
    uint16_t i0;
    uint16_t i1;
    uint16_t i2;
};

// The most vertices one mesh may have: the renderer transforms a mesh's
// vertices into a buffer of this many screen vertices.
constexpr int32_t kMeshMaxVertices = 4096;

struct Mesh {
    int32_t vertexCount;
    int32_t indexCount; // 16-bit indices, three per triangle
    MeshVertex* vertices;
    MeshFace* faces;
};

void MeshBounds(const MeshVertex* vertices, int count, Vector3* maxOut, Vector3* minOut);
void GeneratePlanarUV(int axes, MeshVertex* vertices, int count);
void GenerateCylindricalUV(MeshVertex* vertices, int count);
void MeshTransform(const Matrix* m, MeshVertex* vertices, int count);
void GenerateNormals(MeshVertex* vertices, int vertexCount, const MeshFace* faces, int indexCount);
void NormalizeNormals(MeshVertex* vertices, int count);

extern Mesh BallMesh;
extern Mesh MarkMesh;
extern Mesh HandMesh;
