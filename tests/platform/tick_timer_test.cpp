#include "platform/tick_timer.h"

#include "host/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(TickTimer, MeasuresHundredthsPerSecondAcrossTheWrap) {
    host::SetTickCountFixed(0xFFFFFF00u);
    TickTimer timer;
    host::AdvanceTickCount(500); // past 2^32
    EXPECT_EQ(TickTimerMeasure(&timer, 10), 2000);
    EXPECT_EQ(TickTimerMeasure(&timer, 10), 0); // the same millisecond
    host::AdvanceTickCount(3);
    EXPECT_EQ(TickTimerMeasure(&timer, 1), 33333); // truncated
    host::AdvanceTickCount(7);
    EXPECT_EQ(TickTimerMeasure(&timer, 21474), 306771428);
    host::AdvanceTickCount(0xFFFFFFFFu); // reads as -1 ms in the signed division
    EXPECT_EQ(TickTimerMeasure(&timer, 3), -300000);
    host::SetTickCountReal();
}

TEST(TickTimer, RateMeasuresEveryCountCallsAndHoldsInBetween) {
    host::SetTickCountFixed(1000);
    TickTimer timer;
    host::AdvanceTickCount(100);
    TickTimerReset(&timer);
    host::AdvanceTickCount(50);
    EXPECT_EQ(TickTimerRate(&timer, 30), 60000); // the first call measures at once
    for (int call = 2; call <= 30; ++call) {
        host::AdvanceTickCount(40);
        ASSERT_EQ(TickTimerRate(&timer, 30), 60000) << call;
    }
    host::AdvanceTickCount(40);
    EXPECT_EQ(TickTimerRate(&timer, 30), 30 * 100000 / (30 * 40)); // the last 30 calls
    // Count 1 measures on every call (after a reset, which measures at once).
    TickTimerReset(&timer);
    host::AdvanceTickCount(20);
    EXPECT_EQ(TickTimerRate(&timer, 1), 5000);
    host::AdvanceTickCount(10);
    EXPECT_EQ(TickTimerRate(&timer, 1), 10000);
    host::SetTickCountReal();
}

} // namespace
