// The tracked allocator. Each level keeps a table of its live blocks; a
// block's header holds its table slot, so allocation appends and free moves
// the table's last entry into the freed slot: no search either way.
#include "resource/memory.h"

#include "host/critical_section.h"
#include "host/raw_heap.h"
#include "resource/debug.h"
#include "resource/memory_block.h"

#include <cstring>

namespace {

struct MemoryLevel {
    int32_t capacity; // most live blocks the level may hold
    int32_t liveCount;
    void** tableBegin; // null while the level has no table
    void** tableEnd;   // first free slot
};

MemoryLevel memoryLevels[kMemoryLevels];
int32_t liveBlocks;
int32_t liveBytes;
int32_t memoryReady;
host::CriticalSection memoryLock;

// The failure report of an exhausted heap names this file and line.
constexpr const char16_t* kSourceName = u"resource/memory.cpp";
constexpr int32_t kNotEnoughMemoryLine = 202;

// Holds memoryLock while the allocator is started. Before MemoryInit (and
// after MemoryExit) there is no lock to take; the single thread that runs
// then works on the tables directly instead of crashing.
class MemoryLockHold {
  public:
    MemoryLockHold() : held_(memoryReady != 0) {
        if (held_) host::CriticalSectionEnter(&memoryLock);
    }
    ~MemoryLockHold() { Leave(); }
    MemoryLockHold(const MemoryLockHold&) = delete;
    MemoryLockHold& operator=(const MemoryLockHold&) = delete;

    // Messages are printed outside the lock.
    void Leave() {
        if (held_) host::CriticalSectionLeave(&memoryLock);
        held_ = false;
    }

  private:
    bool held_;
};

bool IsLevel(int32_t level) {
    return level >= 0 && level < kMemoryLevels;
}

bool IsAlignment(uint32_t alignment) {
    return alignment >= 4 && (alignment & (alignment - 1)) == 0;
}

// The low 32 bits of an address, as the device's messages show it.
uint32_t AddressText(const void* address) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address));
}

int32_t TableCount(const MemoryLevel& level) {
    return static_cast<int32_t>(level.tableEnd - level.tableBegin);
}

void ReportNotEnoughMemory(int32_t level) {
    FailReport(u"not enough memory", kSourceName, kNotEnoughMemoryLine, level);
}

// Whether the header is the live block its slot says it is; a pointer freed
// again after its level was emptied or set up anew must not touch the table.
bool IsInTable(const MemoryBlockHeader* header) {
    if (header->level >= kMemoryLevels) return false;
    const MemoryLevel& level = memoryLevels[header->level];
    if (level.tableBegin == nullptr) return false;
    // Compared as numbers: the slot may belong to no table at all.
    const auto slot = reinterpret_cast<uintptr_t>(header->slot);
    return slot >= reinterpret_cast<uintptr_t>(level.tableBegin) &&
           slot < reinterpret_cast<uintptr_t>(level.tableEnd) &&
           (slot - reinterpret_cast<uintptr_t>(level.tableBegin)) % sizeof(void*) == 0 &&
           *header->slot == header;
}

} // namespace

const int32_t& allocCount = liveBlocks;
const int32_t& allocBytes = liveBytes;

void MemoryInit() {
    // The counters start at zero and always match the live blocks, so they
    // are not reset here: blocks outlive MemoryExit, and zeroing them on a
    // restart would drive the counters below zero as those blocks are freed.
    // A lock that exists already is kept: a second one made over it would
    // lose the first, with any thread inside it.
    if (memoryReady == 0) {
        host::CriticalSectionInit(&memoryLock);
        memoryReady = 1;
    }
}

int32_t MemoryExit() {
    if (memoryReady != 0) {
        host::CriticalSectionDelete(&memoryLock);
        memoryReady = 0;
    }
    return 0;
}

void MemoryLevelFreeAll(int32_t level) {
    if (!IsLevel(level)) return;
    MemoryLockHold hold;
    MemoryLevel& record = memoryLevels[level];
    if (record.tableBegin == nullptr) return;
    while (record.tableEnd != record.tableBegin) {
        --record.tableEnd;
        auto* header = static_cast<MemoryBlockHeader*>(*record.tableEnd);
        liveBytes -= header->size;
        --liveBlocks;
        host::RawFree(header);
    }
    record.liveCount = 0;
}

void MemoryLevelRelease(int32_t level) {
    if (!IsLevel(level)) return;
    MemoryLockHold hold;
    MemoryLevelFreeAll(level);
    MemoryLevel& record = memoryLevels[level];
    host::RawFree(record.tableBegin);
    record.tableBegin = nullptr;
    record.tableEnd = nullptr;
}

void MemoryLevelSetup(int32_t capacity, int32_t level) {
    if (!IsLevel(level)) return;
    MemoryLockHold hold;
    MemoryLevel& record = memoryLevels[level];
    record.capacity = capacity;
    if (record.tableBegin != nullptr) MemoryLevelRelease(level);
    // A table that cannot be had (or a negative capacity) leaves the level
    // without one: it then refuses every allocation.
    void** table = nullptr;
    if (capacity >= 0 && static_cast<size_t>(capacity) <= SIZE_MAX / sizeof(void*))
        table = static_cast<void**>(host::RawAlloc(static_cast<size_t>(capacity) * sizeof(void*)));
    record.tableBegin = table;
    record.tableEnd = table;
}

int32_t MemoryLevelCount(int32_t level) {
    if (!IsLevel(level)) return 0;
    return TableCount(memoryLevels[level]);
}

void* MemoryAlloc(int32_t size, int32_t level, uint32_t alignment) {
    // Below 4 the request leaves no room for the guard, and the user area is
    // found by rounding, which needs a power of two.
    if (!IsAlignment(alignment)) {
        DebugPrint(u"MemoryAlignError align=%u", alignment);
        return nullptr;
    }
    if (!IsLevel(level)) {
        // A level that does not exist has no table.
        DebugPrint(u"too many mallocs lv=%d, max=%d", level, 0);
        return nullptr;
    }
    MemoryLockHold hold;
    MemoryLevel& record = memoryLevels[level];
    if (record.tableBegin == nullptr || TableCount(record) >= record.capacity) {
        const int32_t capacity = record.capacity;
        hold.Leave();
        DebugPrint(u"too many mallocs lv=%d, max=%d", level, capacity);
        return nullptr;
    }
    // Header, gap, back-pointer, user area and guard fit exactly for every
    // power-of-two alignment of 4 or more. A negative size (a caller's
    // overflow) is a request no heap can meet.
    void* raw = nullptr;
    if (size >= 0 && alignment <= SIZE_MAX - kMemoryHeaderBytes - static_cast<size_t>(size))
        raw = host::RawAlloc(static_cast<size_t>(size) + alignment + kMemoryHeaderBytes);
    if (raw == nullptr) {
        hold.Leave();
        ReportNotEnoughMemory(level);
        return nullptr;
    }

    auto* header = static_cast<MemoryBlockHeader*>(raw);
    *record.tableEnd = raw;
    header->slot = record.tableEnd;
    ++record.tableEnd;
    header->level = static_cast<uint8_t>(level);
    header->mark = kMemoryLiveMark;
    header->size = size;

    const uintptr_t first = reinterpret_cast<uintptr_t>(raw) + kMemoryHeaderBytes;
    auto* user = reinterpret_cast<unsigned char*>((first + alignment - 1) &
                                                  ~static_cast<uintptr_t>(alignment - 1));
    std::memcpy(user - sizeof(void*), &raw, sizeof(raw));
    std::memcpy(user + size, kMemoryLiveGuard, sizeof(kMemoryLiveGuard));

    ++liveBlocks;
    liveBytes += size;
    ++record.liveCount;
    return user;
}

void* MemoryAllocZero(int32_t size, int32_t level, uint32_t alignment) {
    void* user = MemoryAlloc(size, level, alignment);
    if (user != nullptr) std::memset(user, 0, static_cast<size_t>(size));
    return user;
}

void MemoryFree(void* pointer) {
    if (pointer == nullptr) return;
    auto* user = static_cast<unsigned char*>(pointer);
    MemoryBlockHeader* header = MemoryBlockOf(user);
    if (header->mark != kMemoryLiveMark) {
        DebugPrint(u"dirty memory adr:%x id:%x size:%d", AddressText(header), header->mark,
                   header->size);
        return;
    }
    const int32_t size = header->size;
    if (std::memcmp(user + size, kMemoryLiveGuard, sizeof(kMemoryLiveGuard)) != 0) {
        DebugPrint(u"over memory adr:%x id:%x size:%d", AddressText(header), kMemoryLiveMark, size);
    }

    MemoryLockHold hold;
    if (!IsInTable(header)) {
        hold.Leave();
        DebugPrint(u"dirty memory adr:%x id:%x size:%d", AddressText(header), header->mark, size);
        return;
    }
    std::memcpy(user + size, kMemoryFreedGuard, sizeof(kMemoryFreedGuard));
    header->mark = kMemoryFreedMark;

    MemoryLevel& record = memoryLevels[header->level];
    --record.tableEnd;
    void* last = *record.tableEnd;
    *header->slot = last;
    static_cast<MemoryBlockHeader*>(last)->slot = header->slot;

    --record.liveCount;
    --liveBlocks;
    liveBytes -= size;
    host::RawFree(header);
}
