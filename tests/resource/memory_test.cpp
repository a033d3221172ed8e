#include "host/debug_output.h"
#include "resource/memory.h"

#include <gtest/gtest.h>

TEST(Memory, SmokeAllocFree) {
    MemoryInit();
    MemoryLevelSetup(1024, 0);
    void* p = MemoryAlloc(100, 0, 4);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(MemoryLevelCount(0), 1);
    MemoryFree(p);
    EXPECT_EQ(MemoryLevelCount(0), 0);
}
