// The device's critical section: a re-entrant lock that must be created before
// use and deleted after.
#pragma once

namespace host {

struct CriticalSection {
    void* impl = nullptr;
};

void CriticalSectionInit(CriticalSection* section);
void CriticalSectionDelete(CriticalSection* section);
void CriticalSectionEnter(CriticalSection* section);
void CriticalSectionLeave(CriticalSection* section);

} // namespace host
