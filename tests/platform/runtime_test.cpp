#include "host/local_heap.h"
#include "host/process.h"
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

constexpr size_t kEntry = sizeof(ExitFunction);

class ExitTable : public ::testing::Test {
  protected:
    void SetUp() override {
        RunExitSequence();
        calls.clear();
        host::LocalHeapResetCount();
    }
    void TearDown() override {
        host::LocalHeapSetFaults(0, 0);
        firstTerminators[0] = secondTerminators[0] = nullptr;
        RunExitSequence();
    }
};

// What ran before the device's work at the end of the process, and the code.
void ExitAndReport(void (*exit)(int)) {
    RunExitSequence();
    calls.clear();
    RegisterExitFunction(Record<'r'>);
    firstTerminators[0] = Record<'t'>;
    secondTerminators[0] = Record<'u'>;
    host::SetTerminationWork([](int code) {
        std::fprintf(stderr, "[%s %d]", calls.c_str(), code);
        return code;
    });
    exit(5);
}

} // namespace

TEST_F(ExitTable, RunsLastRegisteredFirstAndGrowsByFourEntries) {
    EXPECT_EQ(ExitTableBytes(), 0u);
    // A null entry is kept and skipped at exit; the fifth and ninth entries
    // move the table; a function registered during the exit runs next.
    const ExitFunction functions[] = {Record<'a'>,  nullptr,     Record<'b'>,
                                      RegisterLate, Record<'c'>, Record<'d'>,
                                      Record<'e'>,  Record<'f'>, Record<'g'>};
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(RegisterExitFunction(functions[i]), 0);
        EXPECT_EQ(ExitTableBytes(), (i / 4 + 1) * 4 * kEntry) << i;
    }
    EXPECT_EQ(ExitFunctionCount(), 9);
    firstTerminators[0] = Record<'t'>;
    secondTerminators[0] = Record<'u'>;
    RunExitSequence(); // and returns
    EXPECT_EQ(calls, "gfedcLnbatu");
    EXPECT_EQ(ExitFunctionCount(), 0);
    EXPECT_EQ(ExitTableBytes(), 0u);
}

TEST_F(ExitTable, RefusedBlockLeavesTheTableAsItWas) {
    host::LocalHeapSetFaults(1, 0);
    EXPECT_EQ(RegisterExitFunction(Record<'x'>), -1);
    EXPECT_EQ(ExitFunctionCount(), 0);
    EXPECT_EQ(ExitTableBytes(), 0u);
    for (ExitFunction function : {Record<'a'>, Record<'b'>, Record<'c'>, Record<'d'>})
        EXPECT_EQ(RegisterExitFunction(function), 0);
    host::LocalHeapSetFaults(0, 1); // every further request fails: no growth
    EXPECT_EQ(RegisterExitFunction(Record<'x'>), -1);
    EXPECT_EQ(ExitFunctionCount(), 4);
    EXPECT_EQ(ExitTableBytes(), 4 * kEntry);
    host::LocalHeapSetFaults(0, 0);
    EXPECT_EQ(RegisterExitFunction(Record<'e'>), 0);
    RunExitSequence();
    EXPECT_EQ(calls, "edcba");
}

TEST(ExitDeathTest, TheWholeExitAndTheQuickOneEndTheProcessWithTheCode) {
    EXPECT_EXIT(ExitAndReport(ExitProgram), ::testing::ExitedWithCode(5), "\\[rtu 5\\]");
    // The quick form skips the registered functions and the first list.
    EXPECT_EXIT(ExitAndReport(ExitProgramQuick), ::testing::ExitedWithCode(5), "\\[u 5\\]");
}
