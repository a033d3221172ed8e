// The device shell's command line (the program itself takes none).
#pragma once
#include "host/clock.h"

#include <cstdint>
#include <string>

namespace host {

struct ShellOptions {
    bool headless = false; // --headless
    bool framesGiven = false;
    uint32_t frames = 0; // --frames N: Start is pressed after the N-th frame
    bool timeGiven = false;
    uint16_t hour = 0; // --time HH:MM:SS, 24-hour; the local time stands still
    uint16_t minute = 0;
    uint16_t second = 0;
    std::string screenshot; // --screenshot FILE.png, written when the program has ended
    bool digest = false;    // --digest: the screen's digest on standard output at the end
    int32_t scale = 2;      // --scale K: window pixels per screen pixel
    bool help = false;      // --help

    // Reliability runs.
    std::string root;            // --root FOLDER: the device's root folder (the program's files)
    uint32_t failAlloc = 0;      // --fail-alloc K: the K-th raw-heap request fails
    uint32_t failAllocAfter = 0; // --fail-alloc-after K: every request after the K-th fails
    uint32_t failNew = 0;        // --fail-new K: the K-th object allocation fails
    uint32_t failNewAfter = 0;   // --fail-new-after K: every object allocation after the K-th fails
    bool timeStepGiven = false;
    uint32_t timeStep = 0; // --time-step MS: the local time moves MS at every reading
    bool tickStartGiven = false;
    uint32_t tickStart = 0; // --tick-start N: the tick count runs on from N
    bool tickStepGiven = false;
    uint32_t tickStep =
        0;               // --tick-step MS: the tick count moves MS at every poll, not in real time
    uint32_t storm = 0;  // --storm N: N input messages posted in bursts between frames
    bool report = false; // --report: the program's memory at set-up, last frame and end
};

// False with a one-line message in *error for anything it does not know.
bool ParseShellOptions(int argc, const char* const* argv, ShellOptions* options,
                       std::string* error);

extern const char kShellUsage[];

} // namespace host
