#include "host/clock.h"
#include "host/raw_heap.h"
#include "host/text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// The local heap is checked through its user, the exit table (platform tests);
// the generator through the math's RandomBelow and RandomEven.

TEST(HostRawHeap, RefusesTheChosenRequestsAndKeepsItsBudget) {
    host::RawHeapResetCount();
    host::RawHeapSetFaults({2, 0});
    const size_t blocks = host::RawHeapBlocksInUse();
    void* first = host::RawAlloc(16);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(host::RawHeapBlocksInUse(), blocks + 1);
    EXPECT_EQ(host::RawAlloc(16), nullptr);
    void* third = host::RawAlloc(16);
    EXPECT_NE(third, nullptr);
    host::RawHeapSetFaults({0, 3});
    EXPECT_EQ(host::RawAlloc(1), nullptr);
    EXPECT_EQ(host::RawHeapFailures(), 2u);
    host::RawHeapSetFaults({});
    const size_t before = host::RawHeapBytesInUse();
    host::RawHeapSetBudget(before + 100);
    EXPECT_EQ(host::RawAlloc(101), nullptr);
    void* fits = host::RawAlloc(100);
    EXPECT_NE(fits, nullptr);
    host::RawFree(fits);
    host::RawHeapSetBudget(host::kDefaultMemoryBytes);
    host::RawFree(first);
    host::RawFree(third);
    EXPECT_EQ(host::RawHeapBytesInUse(), before - 32);
    EXPECT_EQ(host::RawHeapBlocksInUse(), blocks);
}

TEST(HostClock, FixedSteppingAndWrappingTicks) {
    host::SetLocalTimeStepping({2026, 12, 0, 6, 23, 59, 59, 500}, 400);
    host::SystemTime t{};
    host::GetLocalTime(&t);
    EXPECT_EQ(t.hour, 23);
    host::GetLocalTime(&t);
    host::GetLocalTime(&t); // 23:59:59.500 + 800 ms crosses midnight
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(t.second, 0);
    host::SetLocalTimeReal();
    host::SetTickCountFixed(0xFFFFFFF0u);
    host::AdvanceTickCount(0x20);
    EXPECT_EQ(host::GetTickCount(), 0x10u);
    // A count started just short of the wrap runs on past it in real time.
    host::SetTickCountStart(0xFFFFFFFEu);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const uint32_t wrapped = host::GetTickCount();
    EXPECT_GE(wrapped, 18u);
    EXPECT_LT(wrapped, 0x80000000u);
    host::SetTickCountReal();
    EXPECT_LT(host::GetTickCount(), 0x80000000u);
}

TEST(HostText, Utf8RoundTrip) {
    const std::u16string text = u"al:FileOpen[\\Program Files\\k\u00e4se.zit]\r\n";
    EXPECT_EQ(host::FromUtf8(host::ToUtf8(text)), text);
}
