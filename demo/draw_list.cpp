// Clock stage, the draw list: pool, sorted insert and the walk that draws.
#include "demo/draw_list.h"

#include "render/renderer.h"

void ResetDrawList(DrawList* list) {
    list->nextNode = &list->drawNodes[0];
    list->head = nullptr;
}

// The clock takes 15 of the 40 nodes; a larger scene gets none past the last.
DrawNode* TakeDrawNode(DrawList* list) {
    if (list->nextNode == nullptr || list->nextNode >= list->drawNodes + kDrawNodeCount)
        return nullptr;
    return list->nextNode++;
}

// Descending keys: walk past every node whose key is greater than or equal to
// the new one, so it lands behind nodes of equal key.
void InsertDrawNode(DrawList* list, DrawNode* node) {
    DrawNode* passed = nullptr;
    for (DrawNode* walked = list->head; walked != nullptr && walked->key >= node->key;
         walked = walked->next) {
        passed = walked;
    }
    if (passed != nullptr) {
        node->next = passed->next;
        passed->next = node;
    } else {
        node->next = list->head;
        list->head = node;
    }
}

// Lit, flat-filled, untextured. The ambient colour stays as the frame set it
// (0), so faces turned from the light are black.
void DrawDrawList(const DrawList* list, Renderer* renderer) {
    if (renderer == nullptr) return;
    renderer->SetLighting(true);
    renderer->SetShading(false);
    renderer->SetTexture(nullptr);
    for (DrawNode* node = list->head; node != nullptr; node = node->next) {
        renderer->diffuseColor = node->color;
        renderer->SetTexture(node->texture);
        renderer->SetModelView(&node->matrix);
        renderer->DrawMesh(node->mesh);
    }
}
