#include "host/critical_section.h"

#include <mutex>

namespace host {

void CriticalSectionInit(CriticalSection* section) {
    section->impl = new std::recursive_mutex;
}

void CriticalSectionDelete(CriticalSection* section) {
    delete static_cast<std::recursive_mutex*>(section->impl);
    section->impl = nullptr;
}

void CriticalSectionEnter(CriticalSection* section) {
    static_cast<std::recursive_mutex*>(section->impl)->lock();
}

void CriticalSectionLeave(CriticalSection* section) {
    static_cast<std::recursive_mutex*>(section->impl)->unlock();
}

} // namespace host
