// The start-up and exit runtime around the program's main.
#pragma once

using ExitFunction = void (*)();

// Adds a function to those run at exit, last registered first. 0 on success,
// -1 when the table could not be obtained or grown.
int RegisterExitFunction(ExitFunction function);

// Runs the registered exit functions and the termination lists, then ends the
// process with the code.
[[noreturn]] void ExitProgram(int code);
