// The start-up and exit runtime: static initialisers, the table of exit-time
// functions in one local-heap block, and the orderly end of the process.
#include "platform/runtime.h"

#include "host/local_heap.h"
#include "host/process.h"

namespace {

using TableFunction = void (*)();

// The static initialiser and termination lists of the runtime. This program
// needs no work in them; they are walked all the same so the sequence is the
// one the program's entry and exit are built around.
const TableFunction firstInitialisers[] = {nullptr};
const TableFunction secondInitialisers[] = {nullptr};
const TableFunction firstTerminators[] = {nullptr};
const TableFunction secondTerminators[] = {nullptr};

// The exit table grows in steps of four entries: the first block holds four,
// each growth adds four.
constexpr size_t kTableStep = 4 * sizeof(ExitFunction);

ExitFunction* table = nullptr; // local-heap block; moves when it grows
int tableCount = 0;

template <size_t N>
void RunList(const TableFunction (&list)[N]) {
    for (TableFunction function : list) {
        if (function != nullptr) function();
    }
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

// Entries are taken off the end one at a time, so a function registered while
// the table is being run still runs (it is the next one taken).
void RunExitSequence() {
    while (tableCount > 0) {
        const ExitFunction function = table[--tableCount];
        if (function != nullptr) function();
    }
    host::LocalFree(table);
    table = nullptr;
    RunList(firstTerminators);
    RunList(secondTerminators);
}

void ExitProgram(int code) {
    RunExitSequence();
    host::TerminateProcess(code);
}

int ExitFunctionCount() {
    return tableCount;
}

size_t ExitTableBytes() {
    return host::LocalSize(table);
}
