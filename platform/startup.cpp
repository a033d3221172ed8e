#include "platform/startup.h"

#include "platform/runtime.h"

void ProgramEntry(host::InstanceHandle instance, host::InstanceHandle previous,
                  char16_t* commandLine, int32_t showMode) {
    RunStaticInitialisers();
    ExitProgram(AppMain(instance, previous, commandLine, showMode));
}
