// Clock stage, the face: the hands and hour marks placed in front of the
// camera, each a node of the draw list.
#include "demo/clock_face.h"

namespace {

constexpr Fixed Fx(int32_t whole) {
    return static_cast<Fixed>(static_cast<uint32_t>(whole) << 16);
}

constexpr ArgbColor kHourColor = PackArgb(0xFF, 0xFF, 0x00, 0x00);   // red
constexpr ArgbColor kMinuteColor = PackArgb(0xFF, 0x64, 0x00, 0xFF); // violet
constexpr ArgbColor kSecondColor = PackArgb(0xFF, 0xFF, 0xFF, 0xFF); // white
constexpr ArgbColor kMarkColor = PackArgb(0xFF, 0xFF, 0xFF, 0x00);   // yellow
constexpr int32_t kMarkCount = 12;

// One node: the placement on a copy of the camera matrix, inserted by its
// depth. The placement builders multiply from the left, so a model point is
// scaled, then turned, then moved, then taken through the camera.
template <class Place>
void AddNode(DrawList* list, const Matrix* camera, Mesh* mesh, ArgbColor color, Place place) {
    DrawNode* node = TakeDrawNode(list);
    if (node == nullptr) return;
    node->matrix = *camera;
    place(&node->matrix);
    node->color = color;
    node->mesh = mesh;
    node->texture = nullptr;
    node->key = node->matrix.m[14];
    InsertDrawNode(list, node);
}

} // namespace

int32_t HourHandAngle(int32_t hour, int32_t minute) {
    return kQuarterTurn - ((hour * 60 + minute) * kFullTurn) / 720;
}

int32_t MinuteHandAngle(int32_t minute, int32_t second) {
    return kQuarterTurn - ((minute * 60 + second) * kFullTurn) / 3600;
}

int32_t SecondHandAngle(int32_t second) {
    return kQuarterTurn - (second * kFullTurn) / 60;
}

int32_t HourMarkAngle(int32_t mark) {
    return (mark * kFullTurn) / kMarkCount;
}

void PlaceClockFace(DrawList* list, const Matrix* camera, int32_t hour, int32_t minute,
                    int32_t second) {
    if (hour >= 12) hour -= 12;
    const int32_t hourAngle = HourHandAngle(hour, minute);
    const int32_t minuteAngle = MinuteHandAngle(minute, second);
    const int32_t secondAngle = SecondHandAngle(second);
    AddNode(list, camera, &HandMesh, kHourColor, [hourAngle](Matrix* m) {
        MatrixTranslate(m, 0, 0, Fx(10));
        MatrixRotateZ(m, hourAngle);
        MatrixScale(m, 0xB333, 0x18000, 0x18000);
    });
    AddNode(list, camera, &HandMesh, kMinuteColor,
            [minuteAngle](Matrix* m) { MatrixRotateZ(m, minuteAngle); });
    AddNode(list, camera, &HandMesh, kSecondColor, [secondAngle](Matrix* m) {
        MatrixTranslate(m, 0, 0, Fx(-10));
        MatrixRotateZ(m, secondAngle);
        MatrixScale(m, 0x11999, 0xB333, 0xB333);
    });
    for (int32_t i = 0; i < kMarkCount; ++i) {
        AddNode(list, camera, &MarkMesh, kMarkColor, [i](Matrix* m) {
            MatrixRotateZ(m, HourMarkAngle(i));
            MatrixTranslate(m, 0, Fx(100), Fx(20));
            if (i == 0) {
                MatrixRotateZ(m, kFullTurn / 8);
                MatrixRotateX(m, kFullTurn / 8);
            }
        });
    }
}
