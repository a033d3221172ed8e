// The device: its shell reads its own command line, sets the clocks, opens
// the window (or runs headless), arranges the Start press and the
// screenshot, and starts the program through its entry with the four
// start-up arguments. The program ends the process through its exit runtime.
#include "host/clock.h"
#include "host/device.h"
#include "host/process.h"
#include "host/screenshot.h"
#include "host/shell_options.h"
#include "platform/startup.h"

#if KQ3D_WINDOW_FRONT_END
#include "host/shell/window_front_end.h"
#endif

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr uint32_t kHeadlessFrames = 600;
const char kHeadlessScreenshot[] = "kq3d-clock.png";

struct Shell {
    host::FrontEnd* frontEnd = nullptr;
    std::string screenshot;
    bool announce = false;
};

Shell shell;

bool DisplayAvailable() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x != nullptr && *x != '\0') || (wayland != nullptr && *wayland != '\0');
}

// At the end of the program: close the window, write the screenshot. A
// screenshot that cannot be written makes the run a failure.
int Shutdown(int code) {
#if KQ3D_WINDOW_FRONT_END
    host::DeviceSetFrontEnd(nullptr);
    host::CloseWindowFrontEnd(shell.frontEnd);
    shell.frontEnd = nullptr;
#endif
    if (shell.screenshot.empty()) return code;
    std::string error;
    if (!host::WriteScreenshot(shell.screenshot, &error)) {
        std::fprintf(stderr, "kq3d-clock: no screenshot: %s\n", error.c_str());
        return code == 0 ? 1 : code;
    }
    if (shell.announce) {
        std::fprintf(stderr,
                     "kq3d-clock: no window here, so the clock ran headless for %u frames; its "
                     "screen is in %s\n",
                     kHeadlessFrames, shell.screenshot.c_str());
    }
    return code;
}

void OpenFrontEnd(const host::ShellOptions& options) {
    if (options.headless || !DisplayAvailable()) return;
#if KQ3D_WINDOW_FRONT_END
    std::string why;
    shell.frontEnd = host::OpenWindowFrontEnd(options.scale, &why);
    if (shell.frontEnd == nullptr && why != "no display")
        std::fprintf(stderr, "kq3d-clock: %s; running headless\n", why.c_str());
#else
    std::fprintf(stderr, "kq3d-clock: this build has no window (SDL2 was missing when it was "
                         "built); install libsdl2-dev and build again to get one\n");
#endif
}

} // namespace

int main(int argc, char** argv) {
    host::ShellOptions options;
    std::string error;
    if (!host::ParseShellOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "kq3d-clock: %s (%s)\n", error.c_str(), host::kShellUsage);
        return 2;
    }
    if (options.help) {
        std::printf("%s\n", host::kShellUsage);
        return 0;
    }
    if (options.timeGiven) {
        host::SystemTime now{};
        host::GetLocalTime(&now);
        now.hour = options.hour;
        now.minute = options.minute;
        now.second = options.second;
        now.milliseconds = 0;
        host::SetLocalTimeFixed(now);
    }

    OpenFrontEnd(options);
    shell.screenshot = options.screenshot;
    if (options.framesGiven) {
        host::DeviceSetStartAfterFrames(options.frames);
    } else if (shell.frontEnd == nullptr) {
        // Headless and no end given: show a newcomer the clock in a picture.
        host::DeviceSetStartAfterFrames(kHeadlessFrames);
        if (shell.screenshot.empty()) {
            shell.screenshot = kHeadlessScreenshot;
            shell.announce = true;
        }
    }
    host::DeviceSetFrontEnd(shell.frontEnd);
    host::SetTerminationWork(Shutdown);

    static int instance; // the program instance: any address of its own
    static char16_t commandLine[] = u"";
    ProgramEntry(&instance, nullptr, commandLine, 1);
}
