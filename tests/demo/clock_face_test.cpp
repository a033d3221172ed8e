// The clock face and its draw list: hand and mark angles, the hands placed by
// the time of day, the sorted list and its pool.
#include "clock_fixture.h"
#include "demo/clock_face.h"

namespace {

TEST(ClockFace, HandAnglesFollowTheTime) {
    // 12:00:00 (hour 12 brought to 0): all three hands straight up; 3:00:00:
    // the hour hand along +X; 6:30:00: 1024 - 2218.67 truncated, unmasked.
    EXPECT_EQ(HourHandAngle(0, 0), 1024);
    EXPECT_EQ(MinuteHandAngle(0, 0), 1024);
    EXPECT_EQ(SecondHandAngle(0), 1024);
    EXPECT_EQ(HourHandAngle(3, 0), 0);
    EXPECT_EQ(HourHandAngle(6, 30), -1194);
    EXPECT_EQ(MinuteHandAngle(8, 30), 1024 - 580); // 2088960 / 3600 = 580.27
    EXPECT_EQ(SecondHandAngle(30), -1024);
    EXPECT_EQ(HourMarkAngle(1), 341);
    EXPECT_EQ(HourMarkAngle(11), 3754);
}

std::vector<DrawNode*> Listed(const DrawList& list) {
    std::vector<DrawNode*> listed;
    for (DrawNode* node = list.head; node != nullptr; node = node->next)
        listed.push_back(node);
    return listed;
}

// Far before near; of equal keys the one inserted last is drawn last.
TEST(DrawList, KeepsFarBeforeNearAndEqualKeysInInsertionOrder) {
    DrawList list;
    ResetDrawList(&list);
    std::vector<DrawNode*> nodes;
    for (Fixed key : {5, 5, 7, 5, 1, 7}) {
        nodes.push_back(TakeDrawNode(&list));
        nodes.back()->key = key;
        InsertDrawNode(&list, nodes.back());
    }
    EXPECT_EQ(Listed(list),
              (std::vector<DrawNode*>{nodes[2], nodes[5], nodes[0], nodes[1], nodes[3], nodes[4]}));
}

// At half past ten the hour hand lies halfway to eleven, on the face's
// diagonal (row 0 of its matrix as far along -x as along +y).
TEST(DrawList, TheHourHandFollowsTheMinutes) {
    Matrix camera;
    MatrixIdentity(&camera);
    DrawList list;
    ResetDrawList(&list);
    PlaceClockFace(&list, &camera, 22, 30, 0);
    const DrawNode& hour = list.drawNodes[0];
    EXPECT_EQ(hour.mesh, &HandMesh);
    EXPECT_LT(hour.matrix.m[0], 0);
    EXPECT_NEAR(hour.matrix.m[0], -hour.matrix.m[1], 0x100);
}

// Five nodes left: five placed, nothing overrun.
TEST(DrawList, TakesNoMoreThanThePoolHolds) {
    Matrix camera;
    MatrixIdentity(&camera);
    DrawList list;
    ResetDrawList(&list);
    list.nextNode = &list.drawNodes[kDrawNodeCount - 5];
    PlaceClockFace(&list, &camera, 3, 0, 40);
    EXPECT_EQ(Listed(list).size(), 5u);
    EXPECT_EQ(TakeDrawNode(&list), nullptr);
}

// A scene frame lists fifteen nodes far to near, keyed by depth, and leaves
// the matrix stack at its bottom entry.
TEST_F(ClockTest, ASceneFrameListsFifteenNodesFarToNear) {
    ClockApp& app = StartApp();
    SkipIntro();
    app.OnFrame();
    const std::vector<DrawNode*> listed = Listed(app.drawList);
    EXPECT_EQ(listed.size(), 15u);
    Fixed previous = INT32_MAX;
    for (const DrawNode* node : listed) {
        EXPECT_LE(node->key, previous);
        EXPECT_EQ(node->key, node->matrix.m[14]);
        previous = node->key;
    }
    EXPECT_EQ(app.matrixTop, &app.matrixStack[0]);
}

} // namespace
