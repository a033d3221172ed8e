// The cube and its picture, made in code: a program needs no files.
#pragma once
#include <kq3d/math/mesh.h>
#include <kq3d/resource/texture.h>

// A cube of side 2 * half centred on the origin: four corners of its own per
// side, so each side has its own normal and the whole picture.
struct Cube {
    MeshVertex vertices[24];
    MeshFace faces[12];
    Mesh mesh;
};
void CubeMake(Cube* cube, Fixed half);

// A 64x64 picture with 16 shade levels (the textured fillers darken it by
// the light); null when the memory cannot be had.
Texture* CubePicture();
