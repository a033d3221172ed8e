// Mesh stage for several meshes drawn together as one model, far to near.
// There is no depth buffer: a concave model drawn face by face in the order
// of its file shows hidden faces over near ones. So every mesh's vertices
// are processed into one buffer, its front faces collected with the sum of
// their corners' depths, and the faces of the whole model sorted on that key
// (a radix sort, linear in the faces) before any is filled.
#include "platform/display.h"
#include "render/stages.h"
#include "resource/debug.h"
#include "resource/memory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// The key sits in the upper 32 bits of an entry, the face's number in the
// lower; it is sorted by three digits of 11, 11 and 10 bits.
constexpr int kDigitBits = 11;
constexpr int kDigits = 3;
constexpr uint32_t kBuckets = 1u << kDigitBits;

uint32_t Digit(uint64_t entry, int digit) {
    return static_cast<uint32_t>(entry >> (32 + kDigitBits * digit)) & (kBuckets - 1);
}

// Ascending by key, entries of equal key in the order given: one counting
// pass, then one scatter per digit (skipped where every entry shares it).
// The sorted entries end in space->order.
void SortEntries(SortSpace* space, uint32_t count) {
    uint32_t* counts = space->counts;
    std::memset(counts, 0, kDigits * kBuckets * sizeof *counts);
    for (uint32_t k = 0; k < count; ++k) {
        for (int digit = 0; digit < kDigits; ++digit)
            ++counts[digit * kBuckets + Digit(space->order[k], digit)];
    }
    uint64_t* from = space->order;
    uint64_t* to = space->spare;
    for (int digit = 0; digit < kDigits; ++digit) {
        uint32_t* bucket = counts + digit * kBuckets;
        if (bucket[Digit(from[0], digit)] == count) continue;
        uint32_t start = 0;
        for (uint32_t b = 0; b < kBuckets; ++b) {
            const uint32_t n = bucket[b];
            bucket[b] = start;
            start += n;
        }
        for (uint32_t k = 0; k < count; ++k)
            to[bucket[Digit(from[k], digit)]++] = from[k];
        uint64_t* swap = from;
        from = to;
        to = swap;
    }
    if (from != space->order) std::memcpy(space->order, from, count * sizeof *from);
}

} // namespace

int SortSpaceCreate(SortSpace* space, int32_t vertices, int32_t triangles) {
    *space = SortSpace{};
    if (vertices < 0 || triangles < 0 || vertices > INT32_MAX / 64 || triangles > INT32_MAX / 64) {
        DebugPrint(u"SortSpaceCreate refused: %d vertices, %d triangles", vertices, triangles);
        return 0;
    }
    // At least one of each, so an empty space is told by its null pointers.
    const int32_t v = vertices > 0 ? vertices : 1;
    const int32_t t = triangles > 0 ? triangles : 1;
    space->vertices =
        static_cast<ScreenVertex*>(MemoryAlloc(v * int32_t{sizeof(ScreenVertex)}, 0, 4));
    space->corners = static_cast<uint32_t*>(MemoryAlloc(3 * t * int32_t{sizeof(uint32_t)}, 0, 4));
    space->order = static_cast<uint64_t*>(MemoryAlloc(t * int32_t{sizeof(uint64_t)}, 0, 8));
    space->spare = static_cast<uint64_t*>(MemoryAlloc(t * int32_t{sizeof(uint64_t)}, 0, 8));
    space->counts =
        static_cast<uint32_t*>(MemoryAlloc(kDigits * kBuckets * sizeof(uint32_t), 0, 4));
    if (space->vertices == nullptr || space->corners == nullptr || space->order == nullptr ||
        space->spare == nullptr || space->counts == nullptr) {
        SortSpaceRelease(space);
        return 0;
    }
    space->vertexCapacity = vertices;
    space->triangleCapacity = triangles;
    return 1;
}

void SortSpaceRelease(SortSpace* space) {
    void* blocks[] = {space->vertices, space->corners, space->order, space->spare, space->counts};
    for (void* block : blocks) {
        if (block != nullptr) MemoryFree(block);
    }
    *space = SortSpace{};
}

void Renderer::DrawMeshesSorted(const Mesh* meshes, int32_t meshCount, SortSpace* space) {
    if (space == nullptr) return;
    space->frontCount = 0;
    if (meshes == nullptr || space->vertices == nullptr) return;
    if (processVertices == nullptr || fillTriangle == nullptr) return;
    if (display == nullptr || display->frameBuffer == nullptr) return;
    ScreenVertex* const screen = space->vertices;
    int32_t base = 0;     // the mesh's first screen vertex
    uint32_t visible = 0; // front faces so far
    for (int32_t m = 0; m < meshCount; ++m) {
        const Mesh& mesh = meshes[m];
        const int32_t vertexCount = mesh.vertexCount;
        const int32_t indexCount = mesh.indexCount;
        if (vertexCount < 0 || vertexCount > kMaxScreenVertices || indexCount < 0 ||
            indexCount % 3 != 0 || vertexCount > space->vertexCapacity - base ||
            indexCount / 3 > space->triangleCapacity - static_cast<int32_t>(visible)) {
            DebugPrint(u"DrawMeshesSorted refused mesh %d: %d vertices, %d indices", m, vertexCount,
                       indexCount);
            continue;
        }
        ScreenVertex* const out = screen + base;
        processVertices(this, mesh.vertices, out, static_cast<uint32_t>(vertexCount));
        const auto* index = reinterpret_cast<const uint16_t*>(mesh.faces);
        const uint32_t first = visible;
        int32_t t = 0;
        for (const int32_t triangles = indexCount / 3; t < triangles; ++t, index += 3) {
            if (index[0] >= vertexCount || index[1] >= vertexCount || index[2] >= vertexCount)
                break;
            const ScreenVertex& a = out[index[0]];
            const ScreenVertex& b = out[index[1]];
            const ScreenVertex& c = out[index[2]];
            if (!IsDrawnFace(a, b, c)) continue;
            // Depths of vertices in front are positive: a quarter of each
            // keeps the sum within 32 bits. Far first: the key is inverted.
            const uint32_t key = static_cast<uint32_t>(a.depth >> 2) +
                                 static_cast<uint32_t>(b.depth >> 2) +
                                 static_cast<uint32_t>(c.depth >> 2);
            uint32_t* corner = space->corners + 3 * visible;
            corner[0] = static_cast<uint32_t>(base) + index[0];
            corner[1] = static_cast<uint32_t>(base) + index[1];
            corner[2] = static_cast<uint32_t>(base) + index[2];
            space->order[visible] = (uint64_t{~key} << 32) | visible;
            ++visible;
        }
        if (t < indexCount / 3) {
            DebugPrint(u"DrawMeshesSorted refused mesh %d: index %d of %d vertices", m,
                       *std::max_element(index, index + 3), vertexCount);
            visible = first;
            continue;
        }
        base += vertexCount;
    }
    space->frontCount = static_cast<int32_t>(visible);
    if (visible == 0) return;
    if (drawnTiles != nullptr) MarkDrawn(screen, base);
    SortEntries(space, visible);
    for (uint32_t k = 0; k < visible; ++k) {
        const uint32_t* corner = space->corners + 3 * static_cast<uint32_t>(space->order[k]);
        fillTriangle(this, &screen[corner[0]], &screen[corner[1]], &screen[corner[2]]);
    }
}
