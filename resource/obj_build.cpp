// An OBJ model's arrays into meshes: the corners welded into vertices, the
// model centred and scaled, normals made from the faces where the file gives
// none, texture coordinates projected where it gives none, and the triangles
// packed in file order into meshes of at most kMeshMaxVertices vertices.
//
// This runs once, at load time, so it takes 64-bit integers where the
// model's own numbers need them (a file's coordinates span up to 65535.0);
// what it hands the renderer is plain 16.16.
#include "resource/memory.h"
#include "resource/obj_parts.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr Fixed kMostRadius = 256 * kFixedOne;

// floor(sqrt(n)), bit by bit.
uint64_t SquareRoot(uint64_t n) {
    uint64_t root = 0;
    uint64_t bit = uint64_t{1} << 62;
    while (bit > n)
        bit >>= 2;
    for (; bit != 0; bit >>= 2) {
        if (n >= root + bit) {
            n -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
    }
    return root;
}

int64_t Largest(int64_t x, int64_t y, int64_t z) {
    const int64_t ax = std::llabs(x), ay = std::llabs(y), az = std::llabs(z);
    return ax > ay ? (ax > az ? ax : az) : (ay > az ? ay : az);
}

// The direction of (x, y, z) as a vector of length 1.0; the zero vector
// stays zero. The components are first brought to 2^20..2^24, so the sum of
// squares fits 64 bits and short vectors keep their direction.
Vector3 Unit(int64_t x, int64_t y, int64_t z) {
    if (x == 0 && y == 0 && z == 0) return {0, 0, 0};
    while (Largest(x, y, z) >= (int64_t{1} << 24)) {
        x >>= 1;
        y >>= 1;
        z >>= 1;
    }
    while (Largest(x, y, z) < (int64_t{1} << 20)) {
        x *= 2;
        y *= 2;
        z *= 2;
    }
    const int64_t length =
        static_cast<int64_t>(SquareRoot(static_cast<uint64_t>(x * x + y * y + z * z)));
    return {static_cast<Fixed>(x * kFixedOne / length), static_cast<Fixed>(y * kFixedOne / length),
            static_cast<Fixed>(z * kFixedOne / length)};
}

uint32_t Hash(const ObjCorner& c) {
    uint32_t h = static_cast<uint32_t>(c.position) * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(c.texture) * 0x85EBCA77u;
    h ^= static_cast<uint32_t>(c.normal) * 0xC2B2AE3Du;
    return h ^ (h >> 15);
}

bool SameCorner(const ObjCorner& a, const ObjCorner& b) {
    return a.position == b.position && a.texture == b.texture && a.normal == b.normal;
}

// The model between the file's arrays and the meshes: one vertex per
// distinct corner (a texture coordinate or normal counts only where every
// corner has one), and the triangles naming those vertices, in the engine's
// winding.
struct Welded {
    ObjCorner* keys = nullptr; // the corner each vertex stands for
    int32_t* triangles = nullptr;
    MeshVertex* vertices = nullptr;
    int32_t* meshOf = nullptr;  // packing: the last mesh that took the vertex
    int32_t* indexIn = nullptr; // and its index there
    int64_t* sums = nullptr;    // normals made from faces: three per position
    int32_t vertexCount = 0;
    int32_t triangleCount = 0;

    ~Welded() {
        void* blocks[] = {keys, triangles, vertices, meshOf, indexIn, sums};
        for (void* block : blocks) {
            if (block != nullptr) MemoryFree(block);
        }
    }
};

bool Weld(const ObjData& data, Welded* welded) {
    const int64_t corners = 3 * int64_t{data.triangleCount};
    int64_t slots = 1;
    while (slots < 2 * corners)
        slots *= 2;
    int32_t* table = ObjArray<int32_t>(slots);
    welded->keys = ObjArray<ObjCorner>(corners);
    welded->triangles = ObjArray<int32_t>(corners);
    if (table == nullptr || welded->keys == nullptr || welded->triangles == nullptr) {
        if (table != nullptr) MemoryFree(table);
        return false;
    }
    std::memset(table, 0xFF, static_cast<size_t>(slots) * sizeof *table);
    const uint32_t mask = static_cast<uint32_t>(slots - 1);
    // The file's z is turned round, so each triangle's order is too: a, c, b.
    static constexpr int kEngineOrder[3] = {0, 2, 1};
    for (int64_t t = 0; t < data.triangleCount; ++t) {
        for (int k = 0; k < 3; ++k) {
            ObjCorner key = data.corners[3 * t + kEngineOrder[k]];
            if (!data.everyCornerTextured) key.texture = -1;
            if (!data.everyCornerNormal) key.normal = -1;
            uint32_t slot = Hash(key) & mask;
            while (table[slot] >= 0 && !SameCorner(welded->keys[table[slot]], key))
                slot = (slot + 1) & mask;
            if (table[slot] < 0) {
                table[slot] = welded->vertexCount;
                welded->keys[welded->vertexCount++] = key;
            }
            welded->triangles[3 * t + k] = table[slot];
        }
    }
    welded->triangleCount = data.triangleCount;
    MemoryFree(table);
    return true;
}

enum class Placed { kDone, kPoint, kNoMemory };

// The positions, centred on the box of those the faces use and scaled so its
// half-diagonal is `radius`; z turned round.
Placed Place(const ObjData& data, Fixed radius, Welded* welded) {
    int64_t low[3] = {INT64_MAX, INT64_MAX, INT64_MAX};
    int64_t high[3] = {INT64_MIN, INT64_MIN, INT64_MIN};
    for (int32_t v = 0; v < welded->vertexCount; ++v) {
        const Vector3& p = data.positions[welded->keys[v].position];
        const int64_t c[3] = {p.x, p.y, p.z};
        for (int axis = 0; axis < 3; ++axis) {
            if (c[axis] < low[axis]) low[axis] = c[axis];
            if (c[axis] > high[axis]) high[axis] = c[axis];
        }
    }
    // The diagonal in steps of 1/256, rounded up (so no vertex lands past the
    // radius): the sum of squares fits.
    uint64_t squares = 0;
    for (int axis = 0; axis < 3; ++axis) {
        const uint64_t extent = static_cast<uint64_t>((high[axis] - low[axis] + 255) >> 8);
        squares += extent * extent;
    }
    if (squares == 0) return Placed::kPoint;
    // Twice the centre, and twice the half-diagonal, in 16.16 steps.
    uint64_t root = SquareRoot(squares);
    if (root * root < squares) ++root;
    const int64_t diagonal = static_cast<int64_t>(root) << 8;
    welded->vertices = ObjArray<MeshVertex>(welded->vertexCount);
    if (welded->vertices == nullptr) return Placed::kNoMemory;
    for (int32_t v = 0; v < welded->vertexCount; ++v) {
        const Vector3& p = data.positions[welded->keys[v].position];
        const int64_t c[3] = {p.x, p.y, p.z};
        Fixed placed[3];
        for (int axis = 0; axis < 3; ++axis)
            placed[axis] =
                static_cast<Fixed>((2 * c[axis] - low[axis] - high[axis]) * radius / diagonal);
        welded->vertices[v] = MeshVertex{{placed[0], placed[1], -placed[2]}, {0, 0, 0}, 0, 0};
    }
    return Placed::kDone;
}

// Each face adds its cross product to its corners' positions, so larger faces
// weigh more and corners that share a position share its normal, whatever
// texture coordinates they have.
bool NormalsFromFaces(const ObjData& data, Welded* welded) {
    welded->sums = ObjArray<int64_t>(3 * int64_t{data.positionCount});
    if (welded->sums == nullptr) return false;
    std::memset(welded->sums, 0, 3 * static_cast<size_t>(data.positionCount) * sizeof(int64_t));
    for (int32_t t = 0; t < welded->triangleCount; ++t) {
        const int32_t* corner = welded->triangles + 3 * t;
        const Vector3& a = welded->vertices[corner[0]].position;
        const Vector3& b = welded->vertices[corner[1]].position;
        const Vector3& c = welded->vertices[corner[2]].position;
        const int64_t e1[3] = {int64_t{b.x} - a.x, int64_t{b.y} - a.y, int64_t{b.z} - a.z};
        const int64_t e2[3] = {int64_t{c.x} - a.x, int64_t{c.y} - a.y, int64_t{c.z} - a.z};
        // Each product shifted by 8: a position lies within 256.0, so even a
        // position that every one of the most triangles shares cannot
        // overflow its sum.
        const int64_t n[3] = {(e1[1] * e2[2] - e1[2] * e2[1]) >> 8,
                              (e1[2] * e2[0] - e1[0] * e2[2]) >> 8,
                              (e1[0] * e2[1] - e1[1] * e2[0]) >> 8};
        for (int k = 0; k < 3; ++k) {
            int64_t* sum = welded->sums + 3 * int64_t{welded->keys[corner[k]].position};
            sum[0] += n[0];
            sum[1] += n[1];
            sum[2] += n[2];
        }
    }
    for (int32_t v = 0; v < welded->vertexCount; ++v) {
        const int64_t* sum = welded->sums + 3 * int64_t{welded->keys[v].position};
        welded->vertices[v].normal = Unit(sum[0], sum[1], sum[2]);
    }
    return true;
}

void NormalsFromFile(const ObjData& data, Welded* welded) {
    for (int32_t v = 0; v < welded->vertexCount; ++v) {
        const Vector3& n = data.normals[welded->keys[v].normal];
        welded->vertices[v].normal = Unit(n.x, n.y, -int64_t{n.z});
    }
}

// The file's coordinates (v turned round: texture rows run downward), or a
// projection over the whole model at once, so the meshes it is split into
// join without a seam: planar from x and z for a flat model (its height at
// most a quarter of its width or depth), else cylindrical about the y axis.
void TextureCoordinates(const ObjData& data, Welded* welded) {
    MeshVertex* vertices = welded->vertices;
    const int count = welded->vertexCount;
    if (data.everyCornerTextured) {
        for (int v = 0; v < count; ++v) {
            const ObjTexture& t = data.textures[welded->keys[v].texture];
            vertices[v].u = t.u;
            vertices[v].v = kFixedOne - t.v;
        }
        return;
    }
    Vector3 max, min;
    MeshBounds(vertices, count, &max, &min);
    const int64_t width = int64_t{max.x} - min.x;
    const int64_t depth = int64_t{max.z} - min.z;
    const int64_t height = int64_t{max.y} - min.y;
    if (4 * height <= (width > depth ? width : depth)) {
        GeneratePlanarUV(1, vertices, count);
    } else {
        GenerateCylindricalUV(vertices, count);
    }
}

// Triangles in order into meshes: a triangle goes to the current mesh unless
// its vertices new to that mesh would take it past kMeshMaxVertices. Run once
// to count (meshes null) and once to fill the meshes laid out by the count.
struct Packed {
    int32_t meshCount = 0;
    int32_t vertexCount = 0;
};

Packed Pack(Welded* welded, Mesh* meshes, MeshVertex* vertices, MeshFace* faces) {
    std::memset(welded->meshOf, 0xFF, static_cast<size_t>(welded->vertexCount) * sizeof(int32_t));
    Packed packed;
    int32_t mesh = -1;
    int32_t inMesh = 0; // vertices in the current mesh; the first triangle opens one
    for (int32_t t = 0; t < welded->triangleCount; ++t) {
        const int32_t* corner = welded->triangles + 3 * t;
        int32_t fresh = 0;
        for (int k = 0; k < 3; ++k) {
            const bool repeated =
                (k > 0 && corner[k] == corner[0]) || (k > 1 && corner[k] == corner[1]);
            if (welded->meshOf[corner[k]] != mesh && !repeated) ++fresh;
        }
        if (mesh < 0 || inMesh + fresh > kMeshMaxVertices) {
            ++mesh;
            inMesh = 0;
            ++packed.meshCount;
            if (meshes != nullptr)
                meshes[mesh] = Mesh{0, 0, vertices + packed.vertexCount, faces + t};
        }
        uint16_t local[3];
        for (int k = 0; k < 3; ++k) {
            const int32_t v = corner[k];
            if (welded->meshOf[v] != mesh) {
                welded->meshOf[v] = mesh;
                welded->indexIn[v] = inMesh++;
                if (meshes != nullptr) {
                    vertices[packed.vertexCount] = welded->vertices[v];
                    ++meshes[mesh].vertexCount;
                }
                ++packed.vertexCount;
            }
            local[k] = static_cast<uint16_t>(welded->indexIn[v]);
        }
        if (meshes != nullptr) {
            faces[t] = MeshFace{local[0], local[1], local[2]};
            meshes[mesh].indexCount += 3;
        }
    }
    return packed;
}

bool Split(Welded* welded, ObjModel* model) {
    welded->meshOf = ObjArray<int32_t>(welded->vertexCount);
    welded->indexIn = ObjArray<int32_t>(welded->vertexCount);
    if (welded->meshOf == nullptr || welded->indexIn == nullptr) return false;
    const Packed packed = Pack(welded, nullptr, nullptr, nullptr);
    // One block: the mesh records, then every mesh's vertices, then their
    // faces (each record's size keeps the next part aligned).
    const int64_t meshBytes = int64_t{packed.meshCount} * int64_t{sizeof(Mesh)};
    const int64_t vertexBytes = int64_t{packed.vertexCount} * int64_t{sizeof(MeshVertex)};
    const int64_t faceBytes = int64_t{welded->triangleCount} * int64_t{sizeof(MeshFace)};
    auto* block = static_cast<uint8_t*>(ObjAllocate(meshBytes + vertexBytes + faceBytes, 1));
    if (block == nullptr) return false;
    auto* meshes = reinterpret_cast<Mesh*>(block);
    auto* vertices = reinterpret_cast<MeshVertex*>(block + meshBytes);
    auto* faces = reinterpret_cast<MeshFace*>(block + meshBytes + vertexBytes);
    Pack(welded, meshes, vertices, faces);
    model->block = block;
    model->meshes = meshes;
    model->meshCount = packed.meshCount;
    model->vertexCount = packed.vertexCount;
    model->triangleCount = welded->triangleCount;
    return true;
}

} // namespace

int ObjBuild(ObjModel* model, const ObjData& data, const char* name, Fixed radius) {
    if (radius <= 0 || radius > kMostRadius) {
        ObjFail(name, 0, "a radius of %d/65536 is outside 0 to 256.0", radius);
        return 0;
    }
    Welded welded;
    if (!Weld(data, &welded)) {
        ObjFail(name, 0, "no memory for its %d triangles", data.triangleCount);
        return 0;
    }
    const Placed placed = Place(data, radius, &welded);
    if (placed == Placed::kPoint) {
        ObjFail(name, 0, "no size: all its faces lie at one point");
        return 0;
    }
    if (placed == Placed::kNoMemory) {
        ObjFail(name, 0, "no memory for its %d vertices", welded.vertexCount);
        return 0;
    }
    if (data.everyCornerNormal) {
        NormalsFromFile(data, &welded);
    } else if (!NormalsFromFaces(data, &welded)) {
        ObjFail(name, 0, "no memory for its normals");
        return 0;
    }
    TextureCoordinates(data, &welded);
    if (!Split(&welded, model)) {
        ObjFail(name, 0, "no memory for its meshes");
        return 0;
    }
    model->normalsFromFile = data.everyCornerNormal ? 1 : 0;
    model->textureFromFile = data.everyCornerTextured ? 1 : 0;
    return 1;
}
