// The program's entry: the device calls it with the four start-up arguments
// of a windowed program. It runs the static initialisers, calls the
// program's main (AppMain) with the same arguments and ends through
// ExitProgram with main's result.
#pragma once
#include "host/handles.h"

#include <cstdint>

[[noreturn]] void ProgramEntry(host::InstanceHandle instance, host::InstanceHandle previous,
                               char16_t* commandLine, int32_t showMode);

// The program's main, defined by the program.
int AppMain(host::InstanceHandle instance, host::InstanceHandle previous, char16_t* commandLine,
            int32_t showMode);
