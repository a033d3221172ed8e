// Clock stage, main: the tracked allocator and the program directory, then
// the clock application set up, run and torn down. The application and the
// allocator are left to the end of the process.
#include "demo/clock_app.h"
#include "host/shell_options.h"
#include "platform/startup.h"
#include "resource/file.h"
#include "resource/memory.h"

#include <new>

namespace {

// The device's messages name the clock; it takes no words of its own.
const host::ProgramWords clockWords = [] {
    host::ProgramWords words;
    words.noun = "the clock";
    return words;
}();
const host::ProgramRegistration registration(&clockWords);

} // namespace

int AppMain(host::InstanceHandle instance, host::InstanceHandle, char16_t*, int32_t) {
    MemoryInit();
    MemoryLevelSetup(1024, 0);
    FileInitDirectory();
    ClockApp* app = new (std::nothrow) ClockApp(instance, 240, 240, kClockName);
    if (app == nullptr) return 0;
    // Without its window no message reaches the program, and without its key
    // input the buttons are never seen: the loop could never end.
    if (app->window == nullptr || app->window->handle == nullptr || currentKeyInput == nullptr)
        return 0;
    app->SetUpScene();
    app->Run();
    app->TearDown();
    return 0;
}
