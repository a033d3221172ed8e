#include "host/process.h"

#include <cstdio>
#include <cstdlib>

namespace host {
namespace {

TerminationWork terminationWork = nullptr;

} // namespace

void SetTerminationWork(TerminationWork work) {
    terminationWork = work;
}

// The work runs once: should it end the process itself, nothing runs twice.
void TerminateProcess(int code) {
    const TerminationWork work = terminationWork;
    terminationWork = nullptr;
    if (work != nullptr) code = work(code);
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace host
