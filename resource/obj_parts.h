// The two stages of reading an OBJ model, shared by obj_read.cpp (the file's
// statements into arrays) and obj_build.cpp (the arrays into meshes).
#pragma once
#include "math/fixed.h"
#include "resource/obj_model.h"

#include <cstdint>

// One corner of a triangle: 0-based element numbers, -1 where it names none.
struct ObjCorner {
    int32_t position;
    int32_t texture;
    int32_t normal;
};

struct ObjTexture {
    Fixed u;
    Fixed v;
};

// The file's elements as it gives them, and its faces as triangles in the
// file's own winding. Each array is a tracked block (null when empty).
struct ObjData {
    Vector3* positions;
    ObjTexture* textures;
    Vector3* normals;
    ObjCorner* corners; // three per triangle
    int32_t positionCount;
    int32_t textureCount;
    int32_t normalCount;
    int32_t triangleCount;
    bool everyCornerTextured; // every corner names a texture coordinate
    bool everyCornerNormal;   // every corner names a normal
};

void ObjDataRelease(ObjData* data);
// Reads the file into *data (which it starts afresh). 1 read, 0 failed after
// the one line of ObjFail.
int ObjRead(ObjData* data, const char* name);
// The model from the data: welded vertices, normals, texture coordinates,
// centred and scaled, split into meshes. 1 built, 0 failed after ObjFail.
int ObjBuild(ObjModel* model, const ObjData& data, const char* name, Fixed radius);

// The one debug line of a failure: "name:line: what" (line > 0) or
// "name: what", the text formatted printf-style.
void ObjFail(const char* name, int32_t line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// A tracked block for count records of T; null when the size does not fit a
// block or none can be had.
void* ObjAllocate(int64_t count, int64_t recordBytes);
template <class T>
T* ObjArray(int64_t count) {
    return static_cast<T*>(ObjAllocate(count, static_cast<int64_t>(sizeof(T))));
}
