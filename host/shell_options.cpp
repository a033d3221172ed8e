#include "host/shell_options.h"

#include <cstdint>
#include <cstring>

namespace host {

const char kShellUsage[] =
    "usage: kq3d-clock [--headless] [--frames N] [--time HH:MM:SS] [--screenshot FILE.png] "
    "[--digest] [--scale K] [--root FOLDER] [--fail-alloc K] [--fail-alloc-after K] [--fail-new K] "
    "[--fail-new-after K] [--time-step MS] "
    "[--tick-start N] [--tick-step MS] [--storm N] [--report]";

namespace {

constexpr uint32_t kMillisecondsPerDay = 24u * 3600u * 1000u;

// A whole decimal number within [0, limit]; no sign, no spaces, no excess.
bool ParseNumber(const char* text, uint32_t limit, uint32_t* out) {
    if (text == nullptr || *text == '\0') return false;
    uint64_t value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + static_cast<uint32_t>(*p - '0');
        if (value > limit) return false;
    }
    *out = static_cast<uint32_t>(value);
    return true;
}

// One or two digits for the hour, exactly two for minutes and seconds.
bool ParseTime(const char* text, ShellOptions* options) {
    const size_t length = std::strlen(text);
    if (length != 7 && length != 8) return false;
    const size_t hourDigits = length - 6;
    if (text[hourDigits] != ':' || text[hourDigits + 3] != ':') return false;
    const std::string hour(text, hourDigits);
    const std::string minute(text + hourDigits + 1, 2);
    const std::string second(text + hourDigits + 4, 2);
    uint32_t h = 0, m = 0, s = 0;
    if (!ParseNumber(hour.c_str(), 23, &h) || !ParseNumber(minute.c_str(), 59, &m) ||
        !ParseNumber(second.c_str(), 59, &s))
        return false;
    options->hour = static_cast<uint16_t>(h);
    options->minute = static_cast<uint16_t>(m);
    options->second = static_cast<uint16_t>(s);
    return true;
}

} // namespace

bool ParseShellOptions(int argc, const char* const* argv, ShellOptions* options,
                       std::string* error) {
    *options = ShellOptions{};
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool takesValue =
            option == "--frames" || option == "--time" || option == "--screenshot" ||
            option == "--scale" || option == "--root" || option == "--fail-alloc" ||
            option == "--fail-alloc-after" || option == "--fail-new" ||
            option == "--fail-new-after" || option == "--time-step" || option == "--tick-start" ||
            option == "--tick-step" || option == "--storm";
        const char* value = takesValue && i + 1 < argc ? argv[i + 1] : nullptr;
        if (takesValue && value == nullptr) {
            *error = option + " needs a value";
            return false;
        }
        if (takesValue) ++i;
        uint32_t number = 0;
        if (option == "--headless") {
            options->headless = true;
        } else if (option == "--help" || option == "-h") {
            options->help = true;
        } else if (option == "--frames") {
            if (!ParseNumber(value, 1000000000, &number)) {
                *error = "--frames takes a whole number of frames from 0 to 1000000000, not \"" +
                         std::string(value) + "\"";
                return false;
            }
            options->framesGiven = true;
            options->frames = number;
        } else if (option == "--time") {
            if (!ParseTime(value, options)) {
                *error = "--time takes a 24-hour time HH:MM:SS, not \"" + std::string(value) + "\"";
                return false;
            }
            options->timeGiven = true;
        } else if (option == "--screenshot") {
            if (*value == '\0') {
                *error = "--screenshot needs a file name";
                return false;
            }
            options->screenshot = value;
        } else if (option == "--scale") {
            if (!ParseNumber(value, 16, &number) || number == 0) {
                *error =
                    "--scale takes a whole number from 1 to 16, not \"" + std::string(value) + "\"";
                return false;
            }
            options->scale = static_cast<int32_t>(number);
        } else if (option == "--root") {
            if (*value == '\0') {
                *error = "--root needs a folder";
                return false;
            }
            options->root = value;
        } else if (option == "--fail-alloc" || option == "--fail-alloc-after" ||
                   option == "--fail-new" || option == "--fail-new-after") {
            if (!ParseNumber(value, UINT32_MAX, &number) || number == 0) {
                *error = option + " takes a request number from 1 to 4294967295, not \"" +
                         std::string(value) + "\"";
                return false;
            }
            if (option == "--fail-alloc") options->failAlloc = number;
            if (option == "--fail-alloc-after") options->failAllocAfter = number;
            if (option == "--fail-new") options->failNew = number;
            if (option == "--fail-new-after") options->failNewAfter = number;
        } else if (option == "--time-step") {
            if (!ParseNumber(value, kMillisecondsPerDay, &number)) {
                *error = "--time-step takes milliseconds from 0 to 86400000, not \"" +
                         std::string(value) + "\"";
                return false;
            }
            options->timeStepGiven = true;
            options->timeStep = number;
        } else if (option == "--tick-step") {
            if (!ParseNumber(value, kMillisecondsPerDay, &number)) {
                *error = "--tick-step takes milliseconds from 0 to 86400000, not \"" +
                         std::string(value) + "\"";
                return false;
            }
            options->tickStepGiven = true;
            options->tickStep = number;
        } else if (option == "--tick-start") {
            if (!ParseNumber(value, UINT32_MAX, &number)) {
                *error = "--tick-start takes a tick count from 0 to 4294967295, not \"" +
                         std::string(value) + "\"";
                return false;
            }
            options->tickStartGiven = true;
            options->tickStart = number;
        } else if (option == "--storm") {
            if (!ParseNumber(value, 1000000000, &number)) {
                *error = "--storm takes a number of messages from 0 to 1000000000, not \"" +
                         std::string(value) + "\"";
                return false;
            }
            options->storm = number;
        } else if (option == "--digest") {
            options->digest = true;
        } else if (option == "--report") {
            options->report = true;
        } else {
            *error = "unknown option \"" + option + "\"";
            return false;
        }
    }
    return true;
}

} // namespace host
