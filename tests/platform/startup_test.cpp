#include "platform/startup.h"

#include "host/process.h"
#include "platform/runtime.h"

#include <gtest/gtest.h>

#include <cstdio>

// The program's main for these tests: it registers two exit functions and
// returns 7, which the entry hands to the exit runtime and that to the
// device's own work at termination.
int AppMain(host::InstanceHandle instance, host::InstanceHandle previous, char16_t* commandLine,
            int32_t showMode) {
    std::fprintf(stderr, "main %s %s %s %d;", instance != nullptr ? "instance" : "none",
                 previous == nullptr ? "alone" : "again",
                 commandLine != nullptr && commandLine[0] == 0 ? "empty" : "args", showMode);
    RegisterExitFunction([] { std::fprintf(stderr, "first;"); });
    RegisterExitFunction([] { std::fprintf(stderr, "second;"); });
    return 7;
}

namespace {

TEST(ProgramEntryDeathTest, CallsMainAndEndsThroughTheExitRuntimeAndTheDevice) {
    static int instance;
    static char16_t commandLine[] = u"";
    EXPECT_EXIT(
        {
            host::SetTerminationWork([](int code) { // may change the code
                std::fprintf(stderr, "device %d;", code);
                return code + 1;
            });
            ProgramEntry(&instance, nullptr, commandLine, 1);
        },
        ::testing::ExitedWithCode(8), "main instance alone empty 1;second;first;device 7;");
}

} // namespace
