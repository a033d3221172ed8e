// The start-up and exit runtime: static initialisers, the table of exit-time
// functions in one local-heap block, and the orderly end of the process.
#include "platform/runtime.h"

#include "host/local_heap.h"
#include "host/process.h"

RuntimeFunction firstInitialisers[kRuntimeListEntries];
RuntimeFunction secondInitialisers[kRuntimeListEntries];
RuntimeFunction firstTerminators[kRuntimeListEntries];
RuntimeFunction secondTerminators[kRuntimeListEntries];

namespace {

// The exit table grows in steps of four entries: the first block holds four,
// each growth adds four.
constexpr size_t kTableStep = 4 * sizeof(ExitFunction);

ExitFunction* table = nullptr; // local-heap block; moves when it grows
int tableCount = 0;

void RunList(const RuntimeFunction (&list)[kRuntimeListEntries]) {
    for (RuntimeFunction function : list) {
        if (function != nullptr) function();
    }
}

// The work before the end of the process. The quick form leaves the table as
// it is: the process ends with it.
void RunExit(bool quick) {
    if (!quick) {
        // Entries are taken off the end one at a time, so a function
        // registered while the table is being run still runs (it is the next
        // one taken).
        while (tableCount > 0) {
            const ExitFunction function = table[--tableCount];
            if (function != nullptr) function();
        }
        host::LocalFree(table);
        table = nullptr;
        RunList(firstTerminators);
    }
    RunList(secondTerminators);
}

} // namespace

void RunStaticInitialisers() {
    RunList(firstInitialisers);
    RunList(secondInitialisers);
}

int RegisterExitFunction(ExitFunction function) {
    const size_t used = static_cast<size_t>(tableCount) * sizeof(ExitFunction);
    if (host::LocalSize(table) < used + sizeof(ExitFunction)) {
        void* block = table == nullptr
                          ? host::LocalAlloc(kTableStep)
                          : host::LocalReAlloc(table, host::LocalSize(table) + kTableStep);
        if (block == nullptr) return -1;
        table = static_cast<ExitFunction*>(block);
    }
    table[tableCount++] = function;
    return 0;
}

void RunExitSequence() {
    RunExit(false);
}

void ExitProgram(int code) {
    RunExit(false);
    host::TerminateProcess(code);
}

void ExitProgramQuick(int code) {
    RunExit(true);
    host::TerminateProcess(code);
}

int ExitFunctionCount() {
    return tableCount;
}

size_t ExitTableBytes() {
    return host::LocalSize(table);
}
