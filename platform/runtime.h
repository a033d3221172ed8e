// The start-up and exit runtime around the program's main.
#pragma once
#include <cstddef>

using ExitFunction = void (*)();

// Runs the two lists of static initialisers, table order, null entries
// skipped. The program's entry calls it before main.
void RunStaticInitialisers();

// Adds a function to those run at exit, last registered first. 0 on success,
// -1 when the table could not be obtained or grown (the table is unchanged).
int RegisterExitFunction(ExitFunction function);

// The exit sequence without the end of the process: the registered functions
// last to first (null entries skipped), then the two termination lists. The
// table is empty afterwards. ExitProgram uses it; tests call it directly.
void RunExitSequence();

// Runs the exit sequence, then ends the process with the code.
[[noreturn]] void ExitProgram(int code);

// Read-only views of the table for tests: entries in use, and the size of the
// block holding it in bytes (0 before the first registration).
int ExitFunctionCount();
size_t ExitTableBytes();
