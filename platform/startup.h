// Platform stage, start-up: the program's entry (ProgramEntry, declared by
// the device in host/device.h), which the device calls with the four start-up
// arguments of a windowed program. It tells the device how to read the
// allocator's count, runs the static initialisers, calls the program's main
// (AppMain) with the same arguments and ends through ExitProgram with main's
// result.
#pragma once
#include "host/device.h"
#include "host/handles.h"

#include <cstdint>

// The program's main, defined by the program.
int AppMain(host::InstanceHandle instance, host::InstanceHandle previous, char16_t* commandLine,
            int32_t showMode);
