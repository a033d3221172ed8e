// Device stage, the shell: the device's shell reads its own command line, sets
// the clocks, opens the window or the web page (or runs headless), arranges the
// Start press and the screenshot, and starts the program through its entry with
// the four start-up arguments. The program ends the process through its exit
// runtime.
#include "host/clock.h"
#include "host/device.h"
#include "host/gx.h"
#include "host/input_storm.h"
#include "host/messages.h"
#include "host/module.h"
#include "host/process.h"
#include "host/raw_heap.h"
#include "host/screen_digest.h"
#include "host/screenshot.h"
#include "host/shell/object_heap.h"
#include "host/shell_options.h"

#if KQ3D_WINDOW_FRONT_END
#include "host/shell/window_front_end.h"
#elif KQ3D_WEB_FRONT_END
#include "host/shell/web_front_end.h"
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define KQ3D_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KQ3D_LEAK_CHECK 1
#endif
#endif
#if KQ3D_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace {

constexpr uint32_t kHeadlessFrames = 600;

// The frame at which the program has long finished its set-up and its title
// frames: the reference of the allocator's figures. By the warm frame every
// page the program ever touches has been touched (the camera has been through
// its states): the reference of the resident memory.
constexpr uint32_t kSettledFrame = 20;
constexpr uint32_t kWarmFrame = 10000;
constexpr uint32_t kStormBurst = 16;
constexpr uint32_t kStormSeed = 7;

struct Shell {
    std::string program; // the name it was started under: "kq3d-clock"
    host::FrontEnd* frontEnd = nullptr;
    std::string screenshot;
    bool digest = false;
    bool announce = false;
    bool report = false;
    bool lastFrameKnown = false;
    uint32_t lastFrame = 0;
    uint32_t reportedFrame = 0;
    bool tickStepping = false;
    uint32_t tickStep = 0;
    bool storming = false;
    host::InputStorm storm;
};

Shell shell;

long ResidentKilobytes() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return -1;
    char line[256];
    long kilobytes = -1;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) kilobytes = std::strtol(line + 6, nullptr, 10);
    }
    std::fclose(status);
    return kilobytes;
}

// One line of figures on standard error, as words a script can pick out: the
// program's tracked blocks (as the program counts them), the device's raw
// heap and object allocations, the process's resident memory and the tick
// count.
void Report(const char* when, uint32_t frames, const char* more) {
    const host::ProgramMemory program = host::DeviceProgramMemory();
    std::fprintf(stderr,
                 "%s report: when=%s frames=%u live-blocks=%d live-bytes=%d "
                 "raw-blocks=%zu raw-bytes=%zu raw-requests=%llu raw-refused=%llu rss-kB=%ld "
                 "object-requests=%llu object-refused=%llu ticks=%u%s\n",
                 shell.program.c_str(), when, frames, program.blocks, program.bytes,
                 host::RawHeapBlocksInUse(), host::RawHeapBytesInUse(),
                 static_cast<unsigned long long>(host::RawHeapRequests()),
                 static_cast<unsigned long long>(host::RawHeapFailures()), ResidentKilobytes(),
                 static_cast<unsigned long long>(host::ObjectHeapRequests()),
                 static_cast<unsigned long long>(host::ObjectHeapFailures()), host::GetTickCount(),
                 more);
}

// Between frames: the tick count's step, the next burst of a storm, and the
// reports at the settled and warm frames and at the last frame before Start.
void OnPoll(uint32_t frames) {
    if (shell.tickStepping) host::AdvanceTickCount(shell.tickStep);
    if (shell.storming) {
        host::InputStormBurst(&shell.storm);
        shell.storming = !host::InputStormOver(shell.storm);
    }
    if (!shell.report || frames == shell.reportedFrame) return;
    shell.reportedFrame = frames;
    if (frames == kSettledFrame) Report("settled", frames, "");
    if (frames == kWarmFrame) Report("warm", frames, "");
    if (shell.lastFrameKnown && frames == shell.lastFrame) Report("last", frames, "");
}

// Blocks that nothing points at any more. Only a build with the leak checker
// can tell; elsewhere -1.
int LeakCheck() {
#if KQ3D_LEAK_CHECK
    return __lsan_do_recoverable_leak_check() != 0 ? 1 : 0;
#else
    return -1;
#endif
}

// The web page is a display of its own.
bool DisplayAvailable() {
#if KQ3D_WEB_FRONT_END
    return true;
#endif
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x != nullptr && *x != '\0') || (wayland != nullptr && *wayland != '\0');
}

// At the end of the program: the last report, the digest, close the window,
// write the screenshot. A screenshot that cannot be written, or a leak found,
// makes the run a failure. The web page keeps its last screen: there the
// device stops for good instead.
int Shutdown(int code) {
    if (shell.report) {
        const int leaks = LeakCheck();
        char more[160];
        std::snprintf(more, sizeof more,
                      " storm-messages=%llu queue-refused=%llu suspended-draws=%d leaks=%d "
                      "status=%d",
                      static_cast<unsigned long long>(shell.storm.posted),
                      static_cast<unsigned long long>(host::RefusedMessageCount()),
                      host::GxCallCounts().beginDrawSuspended, leaks, code);
        Report("end", host::DeviceFramesCounted(), more);
        if (leaks > 0 && code == 0) code = 1;
    }
    if (shell.digest) std::printf("%s\n", host::DigestText(host::ScreenDigest()).c_str());
#if KQ3D_WINDOW_FRONT_END
    host::DeviceSetFrontEnd(nullptr);
    host::CloseWindowFrontEnd(shell.frontEnd);
    shell.frontEnd = nullptr;
#elif KQ3D_WEB_FRONT_END
    if (shell.frontEnd != nullptr) host::StopWebFrontEnd(shell.frontEnd, code);
#endif
    // The picture a newcomer is told of shows the program at work; a program
    // that failed has said why, and its screen would only mislead.
    if (shell.screenshot.empty() || (shell.announce && code != 0)) return code;
    std::string error;
    if (!host::WriteScreenshot(shell.screenshot, &error)) {
        std::fprintf(stderr, "%s: no screenshot: %s\n", shell.program.c_str(), error.c_str());
        return code == 0 ? 1 : code;
    }
    if (shell.announce) {
        std::fprintf(stderr,
                     "%s: no window here, so %s ran headless for %u frames; its screen is in %s\n",
                     shell.program.c_str(), host::CurrentProgramWords().noun, kHeadlessFrames,
                     shell.screenshot.c_str());
    }
    return code;
}

void OpenFrontEnd(const host::ShellOptions& options) {
    if (options.headless || !DisplayAvailable()) return;
#if KQ3D_WINDOW_FRONT_END
    std::string why;
    shell.frontEnd =
        host::OpenWindowFrontEnd(static_cast<int32_t>(options.scale), shell.program, &why);
    if (shell.frontEnd == nullptr && why != "no display")
        std::fprintf(stderr, "%s: %s; running headless\n", shell.program.c_str(), why.c_str());
#elif KQ3D_WEB_FRONT_END
    shell.frontEnd = host::OpenWebFrontEnd(static_cast<int32_t>(options.scale));
#else
    std::fprintf(stderr,
                 "%s: this build has no window (SDL2 was missing when it was built); install "
                 "libsdl2-dev and build again to get one\n",
                 shell.program.c_str());
#endif
}

} // namespace

int main(int argc, char** argv) {
    host::ShellOptions options;
    int status = host::kExitDone;
    if (host::ReadShellCommandLine(argc, argv, &options, std::cout, std::cerr, &status))
        return status;
    shell.program = host::ProgramName(argc, argv);
    if (!options.root.empty()) {
        std::error_code why;
        if (!std::filesystem::is_directory(options.root, why)) {
            host::WriteUsageError(std::cerr, host::ProgramName(argc, argv),
                                  "--root takes FOLDER, and \"" + options.root +
                                      "\" is not a folder");
            return host::kExitUsage;
        }
        host::SetDeviceRoot(options.root);
    }
    if (options.timeGiven || options.timeStepGiven) {
        host::SystemTime now{};
        host::GetLocalTime(&now);
        if (options.timeGiven) {
            now.hour = options.hour;
            now.minute = options.minute;
            now.second = options.second;
            now.milliseconds = 0;
        }
        if (options.timeStepGiven) {
            host::SetLocalTimeStepping(now, options.timeStep);
        } else {
            host::SetLocalTimeFixed(now);
        }
    }
    if (options.tickStepGiven) {
        host::SetTickCountFixed(options.tickStart);
        shell.tickStepping = true;
        shell.tickStep = options.tickStep;
    } else if (options.tickStartGiven) {
        host::SetTickCountStart(options.tickStart);
    }
    host::RawHeapSetFaults({options.failAlloc, options.failAllocAfter});
    host::ObjectHeapSetFaults(options.failNew, options.failNewAfter);

    OpenFrontEnd(options);
    shell.screenshot = options.screenshot;
    shell.digest = options.digest;
    if (options.framesGiven) {
        host::DeviceSetStartAfterFrames(options.frames);
    } else if (shell.frontEnd == nullptr) {
        // Headless and no end given: show a newcomer the clock in a picture.
        host::DeviceSetStartAfterFrames(kHeadlessFrames);
        if (shell.screenshot.empty()) {
            shell.screenshot = host::HeadlessScreenshot(shell.program);
            shell.announce = true;
        }
    }
    host::DeviceSetFrontEnd(shell.frontEnd);
    host::SetTerminationWork(Shutdown);

    shell.report = options.report;
    shell.lastFrameKnown = options.framesGiven || shell.frontEnd == nullptr;
    shell.lastFrame = options.framesGiven ? options.frames : kHeadlessFrames;
    shell.reportedFrame = UINT32_MAX;
    if (options.storm != 0) {
        host::InputStormStart(&shell.storm, options.storm, kStormBurst, kStormSeed);
        shell.storming = true;
    }
    if (shell.report || shell.storming || shell.tickStepping) host::DeviceSetPollWork(OnPoll);

    static int instance; // the program instance: any address of its own
    static char16_t commandLine[] = u"";
    ProgramEntry(&instance, nullptr, commandLine, 1);
}
