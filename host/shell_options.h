// The device shell's command line: its options, one row each in the table of
// shell_options.cpp, which parses them and writes --help; and the words of
// the program built into the device, where it takes any.
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

// What the program built into the device tells the device about itself: how
// the device's own messages name it, and the words it takes on the command
// line besides the device's options (its operands and options, in a table of
// its own, in any order among the device's).
struct ProgramWords {
    const char* noun = "the program"; // "the clock"
    // Null for a program that takes no words; else its words as the usage
    // line shows them after "[OPTION...]", what it does (the first words of
    // --help), what else makes it end with status 1, and its rows of --help.
    const char* synopsis = nullptr;
    const char* summary = nullptr;
    const char* failure = nullptr;
    std::vector<OptionWords> help;
    // Reads the words the device's table did not take, in their order. Files
    // of this machine that they name go to *files: the device makes them
    // reachable through its root and rewrites each to its name there. False,
    // with a one-line reason in *error, on wrong usage.
    bool (*read)(const std::vector<std::string>& words, std::vector<std::string*>* files,
                 std::string* error) = nullptr;
};

// The program tells the device once, before the device reads its command
// line: from a static ProgramRegistration in the program's main file. A
// program that tells nothing is "the program" and takes no words.
void SetProgramWords(const ProgramWords* program);
const ProgramWords& CurrentProgramWords();
struct ProgramRegistration {
    explicit ProgramRegistration(const ProgramWords* program) { SetProgramWords(program); }
};

const std::vector<OptionRow<ShellOptions>>& ShellOptionTable();
// --help's text, and its rows for the program started as `program` (the
// program's own words first).
ProgramText ShellProgramText();
std::vector<OptionWords> ShellOptionWords(const std::string& program);
// Where a headless run without --frames writes the screen: "NAME.png".
std::string HeadlessScreenshot(const std::string& program);

// The program's files named on the command line, placed under the device's
// root. Without a root given (*root empty) the deepest existing folder that
// holds them all becomes the root; each path is rewritten to its name below
// the root. With a root given the words already are names there. False, with
// the reason in *error, for a name the device cannot take (not ASCII, or
// longer than its paths allow).
bool PlaceProgramFiles(const std::vector<std::string*>& files, std::string* root,
                       std::string* error);

// Reads the device's command line (and the program's words, where it takes
// any) into *options. True when the device ends here: --help or --version
// answered on `out`, or a usage error on `err`; *status is then the exit
// status. Files the program names make the root (see PlaceProgramFiles).
bool ReadShellCommandLine(int argc, const char* const* argv, ShellOptions* options,
                          std::ostream& out, std::ostream& err, int* status);

} // namespace host
