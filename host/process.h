// Ending the process.
#pragma once

namespace host {

// The device's own work at the end of the program's process (writing the
// screenshot, closing its window), run by TerminateProcess before the end. It
// returns the code the process ends with: the program's, or another when the
// device's own work failed.
using TerminationWork = int (*)(int code);
void SetTerminationWork(TerminationWork work);

// Runs the device's termination work, flushes the C streams and ends the
// process with the code, running nothing registered with the C library.
[[noreturn]] void TerminateProcess(int code);

} // namespace host
