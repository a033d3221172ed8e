// The viewer's sample models, made at build time as the demo's pictures are:
// OBJ text written with steady maths and a fixed number of decimals, so every
// machine writes the same files. Each has about 20,000 triangles, more
// vertices than one mesh holds, and uses other statements of the format.
#pragma once
#include <string>
#include <vector>

struct SampleModel {
    const char* fileName;
    std::string text;
};

// A (2, 3) torus knot: a tube of `sides` around the knot in `segments`,
// with texture coordinates and normals (corners i/t/n).
std::string TorusKnotObj(int segments, int sides);
// An icosahedron whose triangles are split in four `subdivisions` times,
// pushed out onto the sphere: positions only (corners i).
std::string SphereObj(int subdivisions);
// A square patch of rolling ground, `side` quads along each edge, with
// texture coordinates (corners i/t, faces of four corners).
std::string TerrainObj(int side);

std::vector<SampleModel> MakeSampleModels();
