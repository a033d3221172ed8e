#include "host/local_heap.h"
#include "platform/runtime.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string calls;

template <char Name>
void Record() {
    calls += Name;
}

void RegisterLate() {
    calls += 'L';
    RegisterExitFunction(Record<'n'>);
}

void SayGoodbye() {
    std::fputs("exit function ran\n", stderr);
}

constexpr size_t kEntry = sizeof(ExitFunction);

class ExitTable : public ::testing::Test {
  protected:
    void SetUp() override {
        RunExitSequence();
        calls.clear();
        host::LocalHeapSetFaults(0, 0);
        host::LocalHeapResetCount();
    }
    void TearDown() override {
        host::LocalHeapSetFaults(0, 0);
        RunExitSequence();
    }
};

} // namespace

TEST_F(ExitTable, RunsLastRegisteredFirstAndGrowsByFourEntries) {
    EXPECT_EQ(ExitTableBytes(), 0u);
    EXPECT_EQ(RegisterExitFunction(Record<'a'>), 0);
    EXPECT_EQ(ExitTableBytes(), 4 * kEntry);
    EXPECT_EQ(RegisterExitFunction(nullptr), 0); // kept, skipped at exit
    EXPECT_EQ(RegisterExitFunction(Record<'b'>), 0);
    EXPECT_EQ(RegisterExitFunction(Record<'c'>), 0);
    EXPECT_EQ(ExitTableBytes(), 4 * kEntry);
    EXPECT_EQ(RegisterExitFunction(Record<'d'>), 0); // the fifth moves the table
    EXPECT_EQ(ExitTableBytes(), 8 * kEntry);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(RegisterExitFunction(Record<'e'>), 0);
    EXPECT_EQ(ExitTableBytes(), 12 * kEntry);
    EXPECT_EQ(ExitFunctionCount(), 9);
    RunExitSequence();
    EXPECT_EQ(calls, "eeeedcba");
    EXPECT_EQ(ExitFunctionCount(), 0);
    EXPECT_EQ(ExitTableBytes(), 0u);
}

TEST_F(ExitTable, RefusedBlockLeavesTheTableAsItWas) {
    host::LocalHeapSetFaults(1, 0);
    EXPECT_EQ(RegisterExitFunction(Record<'x'>), -1);
    EXPECT_EQ(ExitFunctionCount(), 0);
    EXPECT_EQ(ExitTableBytes(), 0u);

    EXPECT_EQ(RegisterExitFunction(Record<'a'>), 0);
    EXPECT_EQ(RegisterExitFunction(Record<'b'>), 0);
    EXPECT_EQ(RegisterExitFunction(Record<'c'>), 0);
    EXPECT_EQ(RegisterExitFunction(Record<'d'>), 0);
    host::LocalHeapSetFaults(0, 1); // every further request fails
    EXPECT_EQ(RegisterExitFunction(Record<'x'>), -1);
    EXPECT_EQ(ExitFunctionCount(), 4);
    EXPECT_EQ(ExitTableBytes(), 4 * kEntry);
    host::LocalHeapSetFaults(0, 0);
    EXPECT_EQ(RegisterExitFunction(Record<'e'>), 0);
    RunExitSequence();
    EXPECT_EQ(calls, "edcba");
}

TEST_F(ExitTable, FunctionRegisteredDuringExitStillRuns) {
    RegisterExitFunction(Record<'a'>);
    RegisterExitFunction(RegisterLate);
    RegisterExitFunction(Record<'b'>);
    RunExitSequence();
    EXPECT_EQ(calls, "bLna");
}

TEST(ExitProgramDeathTest, RunsTheTableAndEndsWithTheCode) {
    EXPECT_EXIT(
        {
            RegisterExitFunction(SayGoodbye);
            ExitProgram(3);
        },
        ::testing::ExitedWithCode(3), "exit function ran");
}
