// The device shell's command line (the program built into the device takes
// none): its options, one row each in the table of shell_options.cpp, which
// parses them and writes --help.
#pragma once
#include "host/option_table.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace host {

struct ShellOptions {
    bool headless = false;
    bool framesGiven = false;
    uint32_t frames = 0; // Start is pressed after the frames-th frame
    bool timeGiven = false;
    uint16_t hour = 0; // the local time stands still at hour:minute:second
    uint16_t minute = 0;
    uint16_t second = 0;
    std::string screenshot; // written when the program has ended
    bool digest = false;    // the screen's digest on standard output at the end
    uint32_t scale = 2;     // window pixels per screen pixel

    // Reliability runs.
    std::string root;            // the device's root folder (the program's files)
    uint32_t failAlloc = 0;      // the failAlloc-th raw-heap request fails
    uint32_t failAllocAfter = 0; // every request after the failAllocAfter-th fails
    uint32_t failNew = 0;        // the same for object allocations
    uint32_t failNewAfter = 0;
    bool timeStepGiven = false;
    uint32_t timeStep = 0; // the local time moves timeStep ms at every reading
    bool tickStartGiven = false;
    uint32_t tickStart = 0;
    bool tickStepGiven = false;
    uint32_t tickStep = 0; // the tick count moves tickStep ms at every poll, not in real time
    uint32_t storm = 0;    // input messages posted in bursts between frames
    bool report = false;   // the program's memory at set-up, last frame and end
};

const std::vector<OptionRow<ShellOptions>>& ShellOptionTable();
const ProgramText& ShellProgramText();

// Reads the device's command line into *options. True when the device ends
// here: --help or --version answered on `out`, or a usage error on `err`;
// *status is then the exit status.
bool ReadShellCommandLine(int argc, const char* const* argv, ShellOptions* options,
                          std::ostream& out, std::ostream& err, int* status);

} // namespace host
