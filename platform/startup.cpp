// Platform stage, start-up: the program's entry.
#include "platform/startup.h"

#include "platform/runtime.h"
#include "resource/memory.h"

namespace {

host::ProgramMemory TrackedMemory() {
    return host::ProgramMemory{allocCount, allocBytes};
}

} // namespace

void ProgramEntry(host::InstanceHandle instance, host::InstanceHandle previous,
                  char16_t* commandLine, int32_t showMode) {
    host::DeviceSetProgramMemoryProbe(TrackedMemory);
    RunStaticInitialisers();
    ExitProgram(AppMain(instance, previous, commandLine, showMode));
}
