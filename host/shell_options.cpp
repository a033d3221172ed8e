#include "host/shell_options.h"

#include <cstring>

namespace host {

namespace {

constexpr uint32_t kMillisecondsPerDay = 24u * 3600u * 1000u;
constexpr uint32_t kMostFrames = 1000000000;

// HH:MM:SS, 24-hour: one or two digits for the hour, exactly two for minutes
// and seconds.
bool ReadTime(const char* text, ShellOptions* options) {
    const size_t length = std::strlen(text);
    if (length != 7 && length != 8) return false;
    const size_t hourDigits = length - 6;
    if (text[hourDigits] != ':' || text[hourDigits + 3] != ':') return false;
    const std::string hour(text, hourDigits);
    const std::string minute(text + hourDigits + 1, 2);
    const std::string second(text + hourDigits + 4, 2);
    uint32_t h = 0, m = 0, s = 0;
    if (!ReadWholeNumber(hour.c_str(), 0, 23, &h) || !ReadWholeNumber(minute.c_str(), 0, 59, &m) ||
        !ReadWholeNumber(second.c_str(), 0, 59, &s))
        return false;
    options->hour = static_cast<uint16_t>(h);
    options->minute = static_cast<uint16_t>(m);
    options->second = static_cast<uint16_t>(s);
    return true;
}

using Row = OptionRow<ShellOptions>;
using O = ShellOptions;

} // namespace

const std::vector<OptionRow<ShellOptions>>& ShellOptionTable() {
    static const std::vector<Row> table = {
        Row::Flag("--headless", &O::headless, "no window, even where one could be opened"),
        Row::Number("--frames", "N", &O::frames, 0, kMostFrames,
                    "press Start after the program's N-th frame, so it ends by itself",
                    "none in a window, 600 headless", &O::framesGiven),
        Row::Own("--time", "HH:MM:SS", ReadTime, "0:00:00 to 23:59:59",
                 "the local time stands still at that time of day, on a 24-hour clock",
                 "the time now", &O::timeGiven),
        Row::Text("--screenshot", "FILE.png", &O::screenshot,
                  "write the screen as a PNG when the program has ended",
                  "none in a window; headless without --frames, kq3d-clock.png in the current "
                  "folder"),
        Row::Flag("--digest", &O::digest,
                  "print the screen's digest (FNV-1a, 8 hex digits) on standard output when the "
                  "program has ended"),
        Row::Number("--scale", "K", &O::scale, 1, 16, "window pixels per screen pixel"),
        Row::Text("--root", "FOLDER", &O::root,
                  "the device's root folder, where the program finds its files",
                  "the folder of the program"),
        Row::Number("--fail-alloc", "K", &O::failAlloc, 1, UINT32_MAX,
                    "the K-th request to the device's raw heap fails", "none"),
        Row::Number("--fail-alloc-after", "K", &O::failAllocAfter, 1, UINT32_MAX,
                    "every request to the raw heap after the K-th fails", "none"),
        Row::Number("--fail-new", "K", &O::failNew, 1, UINT32_MAX,
                    "the K-th object allocation fails: the program's objects, and the device "
                    "system's windows, classes, device contexts and screen",
                    "none"),
        Row::Number("--fail-new-after", "K", &O::failNewAfter, 1, UINT32_MAX,
                    "every object allocation after the K-th fails", "none"),
        Row::Number("--time-step", "MS", &O::timeStep, 0, kMillisecondsPerDay,
                    "the local time (from --time, else the time now) moves on MS milliseconds at "
                    "every reading",
                    "the local time runs in real time", &O::timeStepGiven),
        Row::Number("--tick-start", "N", &O::tickStart, 0, UINT32_MAX,
                    "the millisecond tick count starts at N, and wraps past 2^32", nullptr,
                    &O::tickStartGiven),
        Row::Number("--tick-step", "MS", &O::tickStep, 0, kMillisecondsPerDay,
                    "the tick count moves MS at every poll of the message queue instead of in "
                    "real time",
                    "real time", &O::tickStepGiven),
        Row::Number("--storm", "N", &O::storm, 0, kMostFrames,
                    "post N input messages, 16 between frames from the first frame on"),
        Row::Flag("--report", &O::report,
                  "lines of memory figures on standard error at frames 20 and 10000, the last "
                  "frame and the end"),
    };
    return table;
}

const ProgramText& ShellProgramText() {
    static const ProgramText text = {
        "[OPTION...]",
        "The emulated 240x320 handheld with its program in it, shown in a window at K times its "
        "size where there is a display and the build has SDL2, else run headless. In the window "
        "the arrows are the direction buttons, Z, X and C are A, B and C, Enter or Escape is "
        "Start, the mouse is the stylus. The options are the device's; the program takes none.",
        {},
        {{kExitDone, "the program ended, and the screenshot, if any, was written"},
         {kExitFailed, "the screenshot could not be written, or (--report in a sanitizer build) "
                       "the leak checker found blocks nothing points at"},
         {kExitUsage, "wrong usage: an unknown option, a value out of range, or a --root that is "
                      "not a folder"}},
    };
    return text;
}

bool ReadShellCommandLine(int argc, const char* const* argv, ShellOptions* options,
                          std::ostream& out, std::ostream& err, int* status) {
    std::string error;
    const CommandLine outcome =
        ParseCommandLine(ShellOptionTable(), argc, argv, options, nullptr, &error);
    return AnswerCommandLine(outcome, ProgramName(argc, argv), ShellProgramText(),
                             OptionTableWords(ShellOptionTable()), error, out, err, status);
}

} // namespace host
