// Wavefront OBJ models as meshes the renderer draws. The file is read through
// the text reader and tokenizer: v, vt, vn and f statements (corners i, i/t,
// i//n, i/t/n, negative indices counting back from the last element given so
// far, polygons of any size split into triangles as a fan from their first
// corner), '#' comments, and every other statement skipped. The corners are
// welded into vertices, given normals and texture coordinates, centred and
// scaled, and split into meshes of at most kMeshMaxVertices vertices that are
// drawn together as one model.
//
// OBJ is right-handed with faces counter-clockwise seen from outside; the
// engine's camera space has z pointing away from the viewer. The reader turns
// z round and the corners' order with it, so a model is seen as it was made,
// its front (+z in the file) toward the camera. Texture rows run downward, so
// v is turned round too: v = 1 - (the file's v).
#pragma once
#include "math/mesh.h"

#include <cstdint>

// What a model may hold; past these it is refused.
constexpr int32_t kObjMaxTriangles = 200000; // after polygons are split
constexpr int32_t kObjMaxElements = 600000;  // v, vt and vn statements, each
constexpr int32_t kObjLineCharacters = 4096; // a longer line is refused

struct ObjModel {
    Mesh* meshes; // meshCount meshes, drawn together
    int32_t meshCount;
    int32_t vertexCount; // over all meshes; a vertex shared by two meshes is in both
    int32_t triangleCount;
    // 1 where every corner named one in the file; 0 where the normals were
    // made from the faces, or the texture coordinates projected (planar from
    // x and z for a flat model, else cylindrical about the y axis).
    uint8_t normalsFromFile;
    uint8_t textureFromFile;
    void* block; // the tracked block holding the meshes, their vertices and faces
};

void ObjModelInit(ObjModel* model);
// Reads the file `name` (relative to the program directory, as every file) and
// builds its meshes into `model`, which holds none yet (release a loaded one
// first): the model's box centred on the origin and its
// half-diagonal scaled to `radius`, so no vertex lies farther than `radius`
// from the origin. 1 on success. 0 on failure, after one debug line naming
// the file, the line where there is one, and what is wrong
// ("model.obj:12: face names vertex 40 of 38"); the model is then empty.
// A face names only elements given above it in the file.
int ObjModelLoad(ObjModel* model, const char* name, Fixed radius);
// Frees the model's block; the model is empty afterwards. Harmless twice.
void ObjModelRelease(ObjModel* model);
