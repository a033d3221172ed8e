// The clock face: the hands and hour marks placed in front of the animated
// camera, sorted far to near into a list of pool nodes (there is no depth
// buffer) and drawn lit and flat-filled.
#include "demo/clock_face.h"

#include "demo/clock_app.h"
#include "host/clock.h"
#include "render/renderer.h"

namespace {

constexpr Fixed Fx(int32_t whole) {
    return static_cast<Fixed>(static_cast<uint32_t>(whole) << 16);
}

constexpr uint32_t kHourColour = 0xFFFF0000;
constexpr uint32_t kMinuteColour = 0xFF6400FF;
constexpr uint32_t kSecondColour = 0xFFFFFFFF;
constexpr uint32_t kMarkColour = 0xFFFFFF00;
constexpr int32_t kMarkCount = 12;

} // namespace

int32_t HourHandAngle(int32_t hour, int32_t minute) {
    return kQuarterTurn - ((hour * 60 + minute) * 4096) / 720;
}

int32_t MinuteHandAngle(int32_t minute, int32_t second) {
    return kQuarterTurn - ((minute * 60 + second) * 4096) / 3600;
}

int32_t SecondHandAngle(int32_t second) {
    return kQuarterTurn - (second * 4096) / 60;
}

int32_t HourMarkAngle(int32_t mark) {
    return (mark * 4096) / 12;
}

void ClockApp::ResetDrawList() {
    nextNode = &drawNodes[0];
    drawList = nullptr;
}

// The clock takes 15 of the 40 nodes; a larger scene gets none past the last.
DrawNode* ClockApp::TakeDrawNode() {
    if (nextNode == nullptr || nextNode >= drawNodes + kDrawNodeCount) return nullptr;
    return nextNode++;
}

// Descending keys: walk past every node whose key is greater than or equal to
// the new one, so it lands behind nodes of equal key.
void ClockApp::InsertDrawNode(DrawNode* node) {
    DrawNode* passed = nullptr;
    for (DrawNode* walked = drawList; walked != nullptr && walked->key >= node->key;
         walked = walked->next) {
        passed = walked;
    }
    if (passed != nullptr) {
        node->next = passed->next;
        passed->next = node;
    } else {
        node->next = drawList;
        drawList = node;
    }
}

// Lit, flat-filled, untextured. The ambient colour stays as the frame set it
// (0), so faces turned from the light are black.
void ClockApp::DrawDrawList() {
    if (renderer == nullptr) return;
    renderer->SetLighting(true);
    renderer->SetShading(false);
    renderer->SetTexture(nullptr);
    for (DrawNode* node = drawList; node != nullptr; node = node->next) {
        renderer->diffuseColor = node->colour;
        renderer->SetTexture(node->texture);
        renderer->SetModelView(&node->matrix);
        renderer->DrawMesh(node->mesh);
    }
}

namespace {

// One node: the placement on top of a copy of the camera matrix, inserted by
// its depth. The placement builders multiply from the left, so a model point
// is scaled, then turned, then moved, then taken through the camera.
template <class Place>
void AddNode(ClockApp* app, Mesh* mesh, uint32_t colour, Place place) {
    app->MatrixPush();
    DrawNode* node = app->TakeDrawNode();
    if (node != nullptr) {
        place(app->matrixTop);
        node->matrix = *app->matrixTop;
        node->colour = colour;
        node->mesh = mesh;
        node->texture = nullptr;
        node->key = node->matrix.m[14];
        app->InsertDrawNode(node);
    }
    app->MatrixPop();
}

} // namespace

void ClockApp::BuildClock() {
    host::SystemTime time{};
    host::GetLocalTime(&time);
    int32_t hour = time.hour;
    const int32_t minute = time.minute;
    const int32_t second = time.second;
    if (hour >= 12) hour -= 12;

    // The camera matrix.
    MatrixPush();
    AnimateCamera(&animation, renderer);
    MatrixRotateZ(matrixTop, -kQuarterTurn);
    MatrixTranslate(matrixTop, 0, 0, kCameraDistance + animation.zoom);
    MatrixRotateX(matrixTop, animation.angleX);
    MatrixRotateY(matrixTop, animation.angleY);

    const int32_t hourAngle = HourHandAngle(hour, minute);
    const int32_t minuteAngle = MinuteHandAngle(minute, second);
    const int32_t secondAngle = SecondHandAngle(second);
    AddNode(this, &HandMesh, kHourColour, [hourAngle](Matrix* m) {
        MatrixTranslate(m, 0, 0, Fx(10));
        MatrixRotateZ(m, hourAngle);
        MatrixScale(m, 0xB333, 0x18000, 0x18000);
    });
    AddNode(this, &HandMesh, kMinuteColour,
            [minuteAngle](Matrix* m) { MatrixRotateZ(m, minuteAngle); });
    AddNode(this, &HandMesh, kSecondColour, [secondAngle](Matrix* m) {
        MatrixTranslate(m, 0, 0, Fx(-10));
        MatrixRotateZ(m, secondAngle);
        MatrixScale(m, 0x11999, 0xB333, 0xB333);
    });
    for (int32_t i = 0; i < kMarkCount; ++i) {
        AddNode(this, &MarkMesh, kMarkColour, [i](Matrix* m) {
            MatrixRotateZ(m, HourMarkAngle(i));
            MatrixTranslate(m, 0, Fx(100), Fx(20));
            if (i == 0) {
                MatrixRotateZ(m, 512);
                MatrixRotateX(m, 512);
            }
        });
    }

    MatrixPop();
    DrawDrawList();
}
