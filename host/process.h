// Ending the process.
#pragma once

namespace host {

// Flushes the C streams and ends the process with the code, running nothing
// registered with the C library.
[[noreturn]] void TerminateProcess(int code);

} // namespace host
