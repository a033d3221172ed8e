// The clock face: hand and mark angles, the sorted draw list and its pool.
#include "clock_fixture.h"
#include "demo/clock_face.h"
#include "render/renderer.h"

namespace {

TEST(ClockFace, HandAnglesFollowTheTime) {
    // 12:00:00 (hour 12 brought to 0): all three hands straight up.
    EXPECT_EQ(HourHandAngle(0, 0), 1024);
    EXPECT_EQ(MinuteHandAngle(0, 0), 1024);
    EXPECT_EQ(SecondHandAngle(0), 1024);
    // 3:00:00: the hour hand along the face's +X axis.
    EXPECT_EQ(HourHandAngle(3, 0), 0);
    // 6:30:00: 1024 - 1597440 / 720 (2218.67, truncated), left negative for
    // the rotation to mask.
    EXPECT_EQ(HourHandAngle(6, 30), -1194);
    EXPECT_EQ(MinuteHandAngle(30, 0), -1024);
    EXPECT_EQ(SecondHandAngle(30), -1024);
    EXPECT_EQ(MinuteHandAngle(8, 30), 1024 - 580); // 2088960 / 3600 = 580.27
    EXPECT_EQ(HourHandAngle(11, 59), 1024 - 4090);
    EXPECT_EQ(HourMarkAngle(1), 341);
    EXPECT_EQ(HourMarkAngle(11), 3754);
}

class DrawListTest : public ClockTest {
  protected:
    std::vector<DrawNode*> Listed() const {
        std::vector<DrawNode*> listed;
        for (DrawNode* node = app_->drawList; node != nullptr; node = node->next)
            listed.push_back(node);
        return listed;
    }
};

// Far before near, equal keys in insertion order: of equal keys the one
// inserted last is drawn last (the list is walked from its head).
TEST_F(DrawListTest, KeepsFarBeforeNearAndEqualKeysInInsertionOrder) {
    ClockApp& app = StartApp();
    app.ResetDrawList();
    std::vector<DrawNode*> nodes;
    for (Fixed key : {5, 5, 7, 5, 1, 7}) {
        nodes.push_back(app.TakeDrawNode());
        nodes.back()->key = key;
        app.InsertDrawNode(nodes.back());
    }
    EXPECT_EQ(Listed(),
              (std::vector<DrawNode*>{nodes[2], nodes[5], nodes[0], nodes[1], nodes[3], nodes[4]}));
}

// Five nodes left: five drawn, nothing overrun, and the matrix stack still
// back at its bottom entry.
TEST_F(DrawListTest, BuildClockListsFifteenNodesFarToNearAndNoMoreThanThePoolHolds) {
    ClockApp& app = StartApp();
    SkipIntro();
    app.OnFrame();
    const std::vector<DrawNode*> listed = Listed();
    EXPECT_EQ(listed.size(), 15u);
    EXPECT_EQ(app.nextNode, app.drawNodes + 15);
    int hands = 0;
    Fixed previous = INT32_MAX;
    for (const DrawNode* node : listed) {
        hands += node->mesh == &HandMesh;
        EXPECT_LE(node->key, previous);
        EXPECT_EQ(node->key, node->matrix.m[14]);
        EXPECT_EQ(node->texture, nullptr);
        previous = node->key;
    }
    EXPECT_EQ(hands, 3);

    app.ResetDrawList();
    app.nextNode = &app.drawNodes[kDrawNodeCount - 5];
    app.MatrixStackReset();
    app.BuildClock();
    EXPECT_EQ(Listed().size(), 5u);
    EXPECT_EQ(app.TakeDrawNode(), nullptr);
    EXPECT_EQ(app.matrixTop, &app.matrixStack[0]);
}

} // namespace
