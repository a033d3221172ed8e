// Platform stage, the runtime: the start-up and exit runtime around the
// program's main.
#pragma once
#include <cstddef>

using RuntimeFunction = void (*)();
using ExitFunction = RuntimeFunction;

// The runtime's four lists of functions, each walked in table order with null
// entries skipped: two lists of static initialisers, run before main, and two
// lists of termination functions, run at exit after the registered functions.
// This program places nothing in them.
constexpr size_t kRuntimeListEntries = 4;
extern RuntimeFunction firstInitialisers[kRuntimeListEntries];
extern RuntimeFunction secondInitialisers[kRuntimeListEntries];
extern RuntimeFunction firstTerminators[kRuntimeListEntries];
extern RuntimeFunction secondTerminators[kRuntimeListEntries];

// Runs both lists of static initialisers. The program's entry calls it before
// main.
void RunStaticInitialisers();

// Adds a function to those run at exit, last registered first. 0 on success,
// -1 when the table could not be obtained or grown (the table is unchanged).
int RegisterExitFunction(ExitFunction function);

// The exit that returns to its caller instead of ending the process: the
// registered functions last to first (null entries skipped), then both
// termination lists. The table is empty afterwards.
void RunExitSequence();

// The whole exit sequence, then the end of the process with the code.
[[noreturn]] void ExitProgram(int code);

// The quick exit: skips the registered functions and the first termination
// list, runs the second, and ends the process with the code.
[[noreturn]] void ExitProgramQuick(int code);

// Read-only views of the table: entries in use, and the size of the block
// holding it in bytes (0 before the first registration).
int ExitFunctionCount();
size_t ExitTableBytes();
