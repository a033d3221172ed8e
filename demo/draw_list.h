// Clock stage, the draw list: the clock's nodes come from a fixed pool, are
// kept sorted far to near (there is no depth buffer, so the scene draws back
// to front) and are drawn lit through the renderer. Nothing is allocated.
#pragma once
#include "math/color.h"
#include "math/matrix.h"
#include "math/mesh.h"

#include <cstdint>

class Renderer;
struct Texture;

// One entry of the pool and of the sorted list.
struct DrawNode {
    Fixed key;       // depth in front of the viewer: element 14 of the matrix
    ArgbColor color; // the diffuse colour; lighting uses the low 24 bits
    Texture* texture;
    Matrix matrix; // model-view matrix
    Mesh* mesh;
    DrawNode* next;
};

constexpr int32_t kDrawNodeCount = 40;

struct DrawList {
    DrawNode drawNodes[kDrawNodeCount];
    DrawNode* nextNode; // the next free pool node
    DrawNode* head;     // the farthest node; none while the list is empty
};

// The whole pool free again, the list empty.
void ResetDrawList(DrawList* list);
// The next free pool node; none when the pool is used up.
DrawNode* TakeDrawNode(DrawList* list);
// Keeps the list far to near; a node goes behind those of equal key.
void InsertDrawNode(DrawList* list, DrawNode* node);
// Each node from the farthest on, lit and flat-filled, in its own colour.
void DrawDrawList(const DrawList* list, Renderer* renderer);
