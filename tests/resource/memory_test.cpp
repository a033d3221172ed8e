#include "resource/memory.h"

#include "device_fixture.h"
#include "host/raw_heap.h"
#include "resource/memory_block.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Every test starts from the program's own set-up (level 0 of 1024 blocks, no
// other tables) and leaves it so. Freed raw blocks are held: their stamps stay
// readable and a second free never meets a reused block.
class Memory : public ::testing::Test {
  protected:
    void SetUp() override {
        Restore();
        ASSERT_EQ(allocCount, 0);
        ASSERT_EQ(allocBytes, 0);
        host::RawHeapHoldFreed(true);
    }
    void TearDown() override { Restore(); }
    static void Restore() {
        host::RawHeapSetFaults({});
        host::RawHeapHoldFreed(false);
        MemoryInit();
        for (int level = 1; level < kMemoryLevels; ++level) {
            MemoryLevelSetup(0, level); // capacity 0 ...
            MemoryLevelRelease(level);  // ... and no table, as at start
        }
        MemoryLevelSetup(1024, 0);
    }
    DebugLines lines_;
};

// An allocator message naming a block by its address's low 32 bits (formatted
// by the C library, not the formatter under test).
std::u16string BlockLine(const char* what, const void* header, unsigned mark, int size) {
    char text[128];
    std::snprintf(text, sizeof text, "%s memory adr:%x id:%x size:%d\r\n", what,
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(header)), mark, size);
    return std::u16string(text, text + std::strlen(text));
}

bool GuardIs(const void* user, int32_t size, const unsigned char (&guard)[4]) {
    return std::memcmp(static_cast<const unsigned char*>(user) + size, guard, 4) == 0;
}

} // namespace

TEST_F(Memory, PlacesHeaderBackPointerClearedUserAreaAndGuardAndCountsThem) {
    for (uint32_t alignment : {4u, 8u, 16u, 32u, 64u}) {
        for (int32_t size : {0, 1, 13, 300}) {
            SCOPED_TRACE(testing::Message() << "alignment " << alignment << " size " << size);
            const size_t before = host::RawHeapBytesInUse();
            auto* user = static_cast<unsigned char*>(MemoryAllocZero(size, 0, alignment));
            ASSERT_NE(user, nullptr);
            const size_t request = host::RawHeapBytesInUse() - before;
            EXPECT_EQ(request, size + alignment + kMemoryHeaderBytes);
            MemoryBlockHeader* header = MemoryBlockOf(user);
            auto* raw = reinterpret_cast<unsigned char*>(header);
            EXPECT_EQ(reinterpret_cast<uintptr_t>(user) % alignment, 0u);
            // The first multiple of the alignment behind the header.
            EXPECT_GE(user, raw + kMemoryHeaderBytes);
            EXPECT_LT(user, raw + kMemoryHeaderBytes + alignment);
            EXPECT_LE(user + size + 4, raw + request); // the guard fits the request
            EXPECT_EQ(std::count(user, user + size, 0), size);
            EXPECT_TRUE(GuardIs(user, size, kMemoryLiveGuard));
            EXPECT_EQ(header->mark, kMemoryLiveMark);
            EXPECT_EQ(allocBytes, size);
            MemoryFree(user);
            EXPECT_EQ(header->mark, kMemoryFreedMark);
            EXPECT_TRUE(GuardIs(user, size, kMemoryFreedGuard));
            EXPECT_EQ(allocBytes, 0);
        }
    }
    EXPECT_EQ(MemoryLevelCount(0), 0);
}

TEST_F(Memory, FreeRefusesDeadOrForeignBlocksAndFreesAnOverrunOneAfterSayingSo) {
    void* kept = MemoryAlloc(8, 0, 4);
    void* block = MemoryAlloc(40, 0, 4);
    auto* over = static_cast<unsigned char*>(MemoryAlloc(10, 0, 4));
    ASSERT_NE(over, nullptr);
    MemoryBlockHeader* header = MemoryBlockOf(block);
    MemoryBlockHeader* overHeader = MemoryBlockOf(over);
    MemoryFree(block);
    MemoryFree(block);
    MemoryFree(nullptr);
    over[10] = 0; // one byte past the end
    MemoryFree(over);
    EXPECT_TRUE(GuardIs(over, 10, kMemoryFreedGuard)); // freed all the same
    // A foreign pointer with a well-formed header in front but no live mark.
    alignas(16) unsigned char foreign[64] = {};
    auto* fake = reinterpret_cast<MemoryBlockHeader*>(foreign);
    fake->mark = 0x1111;
    fake->size = 9;
    std::memcpy(foreign + kMemoryHeaderBytes - sizeof(void*), &fake, sizeof(fake));
    MemoryFree(foreign + kMemoryHeaderBytes);

    EXPECT_EQ(allocCount, 1);
    EXPECT_EQ(allocBytes, 8);
    EXPECT_EQ(*MemoryBlockOf(kept)->slot, MemoryBlockOf(kept));
    EXPECT_EQ(lines_.Take(), (Lines{BlockLine("dirty", header, kMemoryFreedMark, 40),
                                    BlockLine("over", overHeader, kMemoryLiveMark, 10),
                                    BlockLine("dirty", fake, 0x1111, 9)}));
    MemoryFree(kept);
}

// Levels without a table, bad arguments, sizes that overflowed and an
// exhausted heap are refused with the allocator's message, changing nothing.
TEST_F(Memory, RefusesWhatItCannotGiveSaysWhyAndChangesNothing) {
    EXPECT_EQ(MemoryAlloc(5, 1, 4), nullptr); // never set up
    MemoryLevelSetup(5, 3);
    EXPECT_NE(MemoryAlloc(4, 3, 4), nullptr);
    MemoryLevelRelease(3); // frees its blocks, keeps its capacity, loses its table
    EXPECT_EQ(MemoryAlloc(4, 3, 4), nullptr);
    host::RawHeapSetFaults({host::RawHeapRequests() + 1, 0});
    MemoryLevelSetup(7, 4); // its table cannot be had
    EXPECT_EQ(MemoryAlloc(4, 4, 4), nullptr);
    MemoryLevelSetup(4, 16);
    MemoryLevelFreeAll(-1);
    MemoryLevelRelease(99);
    EXPECT_EQ(MemoryAlloc(4, 16, 4), nullptr);
    EXPECT_EQ(MemoryAlloc(4, -1, 4), nullptr);
    for (uint32_t alignment : {0u, 3u, 12u, 0x80000001u})
        EXPECT_EQ(MemoryAlloc(4, 0, alignment), nullptr) << alignment;
    EXPECT_EQ(lines_.Take(),
              (Lines{u"too many mallocs lv=1, max=0\r\n", u"too many mallocs lv=3, max=5\r\n",
                     u"too many mallocs lv=4, max=7\r\n", u"too many mallocs lv=16, max=0\r\n",
                     u"too many mallocs lv=-1, max=0\r\n", u"MemoryAlignError align=0\r\n",
                     u"MemoryAlignError align=3\r\n", u"MemoryAlignError align=12\r\n",
                     u"MemoryAlignError align=2147483649\r\n"}));

    MemoryLevelSetup(8, 3);
    host::RawHeapSetFaults({host::RawHeapRequests() + 1, 0});
    EXPECT_EQ(MemoryAlloc(100, 3, 4), nullptr);
    host::RawHeapSetFaults({});
    const uint64_t requests = host::RawHeapRequests();
    EXPECT_EQ(MemoryAlloc(-16, 3, 4), nullptr); // a size that overflowed
    EXPECT_EQ(MemoryAllocZero(INT32_MIN, 0, 8), nullptr);
    EXPECT_EQ(host::RawHeapRequests(), requests);
    host::RawHeapSetBudget(host::RawHeapBytesInUse() + 1000);
    EXPECT_EQ(MemoryAlloc(INT32_MAX, 3, 32), nullptr);
    host::RawHeapSetBudget(host::kDefaultMemoryBytes);
    EXPECT_EQ(allocCount, 0);
    EXPECT_EQ(allocBytes, 0);
    const std::u16string report = u"AL Failed(not enough memory) 3(3)\nresource/memory.cpp:202\r\n";
    EXPECT_EQ(lines_.Take(),
              (Lines{report, report,
                     u"AL Failed(not enough memory) 0(0)\nresource/memory.cpp:202\r\n", report}));
    void* after = MemoryAlloc(100, 3, 4);
    EXPECT_NE(after, nullptr);
    MemoryFree(after);
}

TEST_F(Memory, AFullLevelRefusesAndFreeMovesTheLastBlockIntoTheFreedSlot) {
    MemoryLevelSetup(3, 2);
    void* first = MemoryAlloc(1, 2, 4);
    void* second = MemoryAlloc(2, 2, 4);
    void* third = MemoryAlloc(3, 2, 4);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(MemoryAlloc(4, 2, 4), nullptr);
    void** firstSlot = MemoryBlockOf(first)->slot;
    void** secondSlot = MemoryBlockOf(second)->slot;
    EXPECT_EQ(MemoryBlockOf(third)->slot, firstSlot + 2);
    MemoryFree(first);
    EXPECT_EQ(MemoryBlockOf(third)->slot, firstSlot);
    EXPECT_EQ(*firstSlot, MemoryBlockOf(third));
    MemoryFree(third); // now in the first slot: the second moves there
    EXPECT_EQ(MemoryLevelCount(2), 1);
    EXPECT_EQ(MemoryBlockOf(second)->slot, firstSlot);
    EXPECT_EQ(*firstSlot, MemoryBlockOf(second));
    void* again = MemoryAlloc(4, 2, 4); // appended behind it
    EXPECT_EQ(MemoryBlockOf(again)->slot, secondSlot);
    MemoryFree(second);
    EXPECT_EQ(*firstSlot, MemoryBlockOf(again));
    MemoryFree(again);
    EXPECT_EQ(MemoryLevelCount(2), 0);
    EXPECT_EQ(lines_.Take(), Lines{u"too many mallocs lv=2, max=3\r\n"});
}

TEST_F(Memory, FreeAllAndSetupEmptyOnlyTheirLevel) {
    MemoryLevelSetup(10, 1);
    MemoryLevelSetup(10, 2);
    void* stale = nullptr;
    for (int i = 0; i < 4; ++i)
        stale = MemoryAlloc(100, 1, 4);
    MemoryAlloc(7, 2, 16);
    MemoryFree(MemoryAlloc(9, 1, 4));
    MemoryLevelFreeAll(1);
    EXPECT_EQ(MemoryLevelCount(1), 0);
    EXPECT_EQ(allocCount, 1);
    EXPECT_EQ(allocBytes, 7);
    // A pointer that outlived its level's emptying must not touch the table.
    MemoryFree(stale);
    EXPECT_EQ(allocCount, 1);

    for (int i = 0; i < 3; ++i)
        MemoryAlloc(50, 2, 4);
    MemoryLevelSetup(2, 2); // populated: frees all, new capacity
    EXPECT_EQ(allocCount, 0);
    void* a = MemoryAlloc(1, 2, 4);
    void* b = MemoryAlloc(1, 2, 4);
    EXPECT_NE(b, nullptr);
    EXPECT_EQ(MemoryAlloc(1, 2, 4), nullptr);
    MemoryFree(a);
    MemoryFree(b);
    EXPECT_EQ(lines_.Take(), (Lines{BlockLine("dirty", MemoryBlockOf(stale), kMemoryLiveMark, 100),
                                    u"too many mallocs lv=2, max=2\r\n"}));
}

// A restart keeps the counters true for blocks that outlived the stop, and a
// second start keeps the one lock (the sanitizer build sees a lost one).
TEST_F(Memory, ExitIsHarmlessTwiceOrBeforeStartAndBlocksStayUsable) {
    EXPECT_EQ(MemoryExit(), 0);
    EXPECT_EQ(MemoryExit(), 0);
    void* block = MemoryAlloc(16, 0, 4); // without a lock the one thread goes on
    MemoryInit();
    MemoryInit();
    EXPECT_EQ(allocCount, 1);
    void* other = MemoryAlloc(16, 0, 4);
    MemoryFree(block);
    EXPECT_EQ(MemoryExit(), 0);
    MemoryFree(other);
    EXPECT_EQ(allocCount, 0);
}
