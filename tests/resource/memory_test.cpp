#include "resource/memory.h"

#include "debug_lines.h"
#include "host/raw_heap.h"
#include "resource/memory_block.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using Lines = std::vector<std::u16string>;

namespace {

// The allocator is global: every test starts from the program's own set-up
// (level 0 with 1024 blocks) and leaves it so.
class Memory : public ::testing::Test {
  protected:
    void SetUp() override { Restore(); }
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
};

// An allocator message as the device shows it: the address's low 32 bits in
// hex. Built with the C library rather than the formatter under test.
std::u16string Line(const char* format, const void* header, unsigned mark, int size) {
    char text[128];
    std::snprintf(text, sizeof(text), format,
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(header)), mark, size);
    return std::u16string(text, text + std::strlen(text)) + u"\r\n";
}
std::u16string DirtyLine(const void* header, unsigned mark, int size) {
    return Line("dirty memory adr:%x id:%x size:%d", header, mark, size);
}
std::u16string OverLine(const void* header, int size) {
    return Line("over memory adr:%x id:%x size:%d", header, 0x4375, size);
}

bool GuardIs(const void* user, int32_t size, const unsigned char (&guard)[4]) {
    return std::memcmp(static_cast<const unsigned char*>(user) + size, guard, 4) == 0;
}

} // namespace

TEST_F(Memory, CountsBlocksAndBytesAndClearsOnRequest) {
    DebugLines lines;
    const int32_t blocks = allocCount;
    const int32_t bytes = allocBytes;
    auto* zero = static_cast<unsigned char*>(MemoryAllocZero(300, 0, 4));
    void* plain = MemoryAlloc(20, 0, 4);
    void* other = MemoryAlloc(5, 1, 4); // level 1 has no table yet
    ASSERT_NE(zero, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(other, nullptr);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(zero[i], 0) << i;
    EXPECT_TRUE(GuardIs(zero, 300, kMemoryLiveGuard));
    EXPECT_EQ(allocCount, blocks + 2);
    EXPECT_EQ(allocBytes, bytes + 320);
    EXPECT_EQ(MemoryLevelCount(0), 2);
    MemoryFree(zero);
    MemoryFree(nullptr);
    EXPECT_EQ(allocCount, blocks + 1);
    EXPECT_EQ(allocBytes, bytes + 20);
    EXPECT_EQ(MemoryLevelCount(0), 1);
    MemoryFree(plain);
    EXPECT_EQ(allocCount, blocks);
    EXPECT_EQ(allocBytes, bytes);
    EXPECT_EQ(lines.Take(), (Lines{u"too many mallocs lv=1, max=0\r\n"}));
}

TEST_F(Memory, PlacesHeaderBackPointerUserAreaAndGuard) {
    host::RawHeapHoldFreed(true);
    for (uint32_t alignment : {4u, 8u, 16u, 32u, 64u}) {
        for (int32_t size : {0, 1, 13, 64}) {
            SCOPED_TRACE(testing::Message() << "alignment " << alignment << " size " << size);
            const size_t before = host::RawHeapBytesInUse();
            auto* user = static_cast<unsigned char*>(MemoryAlloc(size, 0, alignment));
            ASSERT_NE(user, nullptr);
            const size_t request = host::RawHeapBytesInUse() - before;
            EXPECT_EQ(request, size + alignment + kMemoryHeaderBytes);

            MemoryBlockHeader* header = MemoryBlockOf(user);
            auto* raw = reinterpret_cast<unsigned char*>(header);
            EXPECT_EQ(reinterpret_cast<uintptr_t>(user) % alignment, 0u);
            EXPECT_GE(user, raw + kMemoryHeaderBytes);
            // The first multiple of the alignment behind the header.
            EXPECT_LT(user, raw + kMemoryHeaderBytes + alignment);
            EXPECT_LE(user + size + 4, raw + request); // the guard fits the request
            EXPECT_TRUE(GuardIs(user, size, kMemoryLiveGuard));
            EXPECT_EQ(header->mark, kMemoryLiveMark);
            EXPECT_EQ(header->level, 0);
            EXPECT_EQ(header->size, size);
            EXPECT_EQ(*header->slot, header);

            MemoryFree(user); // held: its stamps can still be read
            EXPECT_EQ(header->mark, kMemoryFreedMark);
            EXPECT_TRUE(GuardIs(user, size, kMemoryFreedGuard));
        }
    }
    EXPECT_EQ(MemoryLevelCount(0), 0);
}

TEST_F(Memory, RefusesAFreeOfWhatIsNotALiveBlock) {
    DebugLines lines;
    host::RawHeapHoldFreed(true);
    void* kept = MemoryAlloc(8, 0, 4);
    void* block = MemoryAlloc(40, 0, 4);
    ASSERT_NE(block, nullptr);
    MemoryBlockHeader* header = MemoryBlockOf(block);
    MemoryFree(block);
    const int32_t blocks = allocCount;
    const int32_t bytes = allocBytes;
    MemoryFree(block); // twice, its memory not reused
    EXPECT_EQ(allocCount, blocks);
    EXPECT_EQ(allocBytes, bytes);
    EXPECT_EQ(MemoryLevelCount(0), 1);
    EXPECT_EQ(*MemoryBlockOf(kept)->slot, MemoryBlockOf(kept));

    // A foreign pointer with a well-formed header in front but no live mark.
    alignas(16) unsigned char foreign[64] = {};
    MemoryBlockHeader* fake = reinterpret_cast<MemoryBlockHeader*>(foreign);
    fake->mark = 0x1111;
    fake->size = 9;
    unsigned char* fakeUser = foreign + kMemoryHeaderBytes;
    std::memcpy(fakeUser - sizeof(void*), &fake, sizeof(fake));
    MemoryFree(fakeUser);

    EXPECT_EQ(lines.Take(), (Lines{DirtyLine(header, 0x5124, 40), DirtyLine(fake, 0x1111, 9)}));
    MemoryFree(kept);
}

TEST_F(Memory, FreesAnOverrunBlockAfterSayingSo) {
    DebugLines lines;
    host::RawHeapHoldFreed(true);
    const int32_t blocks = allocCount;
    const int32_t bytes = allocBytes;
    auto* block = static_cast<unsigned char*>(MemoryAlloc(10, 0, 4));
    ASSERT_NE(block, nullptr);
    MemoryBlockHeader* header = MemoryBlockOf(block);
    block[10] = 0; // one byte past the end
    MemoryFree(block);
    EXPECT_EQ(lines.Take(), (Lines{OverLine(header, 10)}));
    EXPECT_EQ(allocCount, blocks);
    EXPECT_EQ(allocBytes, bytes);
    EXPECT_EQ(header->mark, kMemoryFreedMark);
    EXPECT_TRUE(GuardIs(block, 10, kMemoryFreedGuard));
}

TEST_F(Memory, AFullLevelRefusesUntilABlockIsFreed) {
    DebugLines lines;
    MemoryLevelSetup(0, 0);
    EXPECT_EQ(MemoryAlloc(4, 0, 4), nullptr);
    MemoryLevelSetup(1024, 0);
    std::vector<void*> blocks;
    for (int i = 0; i < 1024; ++i)
        blocks.push_back(MemoryAlloc(4, 0, 4));
    for (void* block : blocks)
        ASSERT_NE(block, nullptr);
    const int32_t count = allocCount;
    EXPECT_EQ(MemoryAlloc(4, 0, 4), nullptr);
    EXPECT_EQ(allocCount, count);
    MemoryFree(blocks[500]);
    blocks[500] = MemoryAlloc(4, 0, 4);
    EXPECT_NE(blocks[500], nullptr);
    EXPECT_EQ(MemoryLevelCount(0), 1024);
    for (void* block : blocks)
        MemoryFree(block);
    EXPECT_EQ(MemoryLevelCount(0), 0);
    EXPECT_EQ(lines.Take(),
              (Lines{u"too many mallocs lv=0, max=0\r\n", u"too many mallocs lv=0, max=1024\r\n"}));
}

TEST_F(Memory, LevelsWithoutATableAndBadArgumentsRefuseSafely) {
    DebugLines lines;
    MemoryLevelSetup(5, 3);
    void* block = MemoryAlloc(4, 3, 4);
    EXPECT_NE(block, nullptr);
    MemoryLevelRelease(3); // keeps its capacity, loses its table
    EXPECT_EQ(MemoryLevelCount(3), 0);
    EXPECT_EQ(MemoryAlloc(4, 3, 4), nullptr);
    host::RawHeapSetFaults({host::RawHeapRequests() + 1, 0});
    MemoryLevelSetup(7, 4); // its table cannot be had
    EXPECT_EQ(MemoryAlloc(4, 4, 4), nullptr);
    MemoryLevelSetup(-1, 5);
    EXPECT_EQ(MemoryAlloc(4, 5, 4), nullptr);
    EXPECT_EQ(MemoryAlloc(4, 16, 4), nullptr);
    EXPECT_EQ(MemoryAlloc(4, -1, 4), nullptr);
    const int32_t count = allocCount;
    for (uint32_t alignment : {0u, 1u, 2u, 3u, 12u, 0x80000001u})
        EXPECT_EQ(MemoryAlloc(4, 0, alignment), nullptr) << alignment;
    EXPECT_EQ(allocCount, count);
    MemoryLevelSetup(4, 16);
    MemoryLevelFreeAll(-1);
    MemoryLevelRelease(99);
    EXPECT_EQ(MemoryLevelCount(16), 0);
    EXPECT_EQ(lines.Take(),
              (Lines{u"too many mallocs lv=3, max=5\r\n", u"too many mallocs lv=4, max=7\r\n",
                     u"too many mallocs lv=5, max=-1\r\n", u"too many mallocs lv=16, max=0\r\n",
                     u"too many mallocs lv=-1, max=0\r\n"}));
}

TEST_F(Memory, ReportsAnExhaustedHeapAndChangesNothing) {
    DebugLines lines;
    MemoryLevelSetup(8, 3);
    const int32_t count = allocCount;
    const int32_t bytes = allocBytes;
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
    EXPECT_EQ(allocCount, count);
    EXPECT_EQ(allocBytes, bytes);
    EXPECT_EQ(MemoryLevelCount(3), 0);
    const std::u16string report = u"AL Failed(not enough memory) 3(3)\nresource/memory.cpp:202\r\n";
    EXPECT_EQ(lines.Take(),
              (Lines{report, report,
                     u"AL Failed(not enough memory) 0(0)\nresource/memory.cpp:202\r\n", report}));
    void* after = MemoryAlloc(100, 3, 4);
    EXPECT_NE(after, nullptr);
    MemoryFree(after);
}

TEST_F(Memory, FreeMovesTheLastBlockIntoTheFreedSlot) {
    MemoryLevelSetup(3, 2);
    void* first = MemoryAlloc(1, 2, 4);
    void* second = MemoryAlloc(2, 2, 4);
    void* third = MemoryAlloc(3, 2, 4);
    ASSERT_NE(third, nullptr);
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
}

TEST_F(Memory, FreeAllAndSetupEmptyOnlyTheirLevel) {
    DebugLines lines;
    host::RawHeapHoldFreed(true);
    MemoryLevelSetup(10, 1);
    MemoryLevelSetup(10, 2);
    const int32_t count = allocCount;
    const int32_t bytes = allocBytes;
    void* stale = nullptr;
    for (int i = 0; i < 4; ++i)
        stale = MemoryAlloc(100, 1, 4);
    void* keep = MemoryAlloc(7, 2, 16);
    MemoryFree(MemoryAlloc(9, 1, 4));
    EXPECT_EQ(MemoryLevelCount(1), 4);

    MemoryLevelFreeAll(1);
    EXPECT_EQ(MemoryLevelCount(1), 0);
    EXPECT_EQ(MemoryLevelCount(2), 1);
    EXPECT_EQ(allocCount, count + 1);
    EXPECT_EQ(allocBytes, bytes + 7);
    // A pointer that outlived its level's emptying must not touch the table.
    MemoryFree(stale);
    EXPECT_EQ(MemoryLevelCount(1), 0);
    EXPECT_EQ(allocCount, count + 1);

    for (int i = 0; i < 3; ++i)
        MemoryAlloc(50, 2, 4);
    MemoryLevelSetup(2, 2); // populated: frees all, new capacity
    EXPECT_EQ(MemoryLevelCount(2), 0);
    EXPECT_EQ(allocCount, count);
    EXPECT_EQ(allocBytes, bytes);
    void* a = MemoryAlloc(1, 2, 4);
    void* b = MemoryAlloc(1, 2, 4);
    EXPECT_NE(b, nullptr);
    EXPECT_EQ(MemoryAlloc(1, 2, 4), nullptr);
    MemoryFree(a);
    MemoryFree(b);
    (void)keep;
    EXPECT_EQ(lines.Take(), (Lines{DirtyLine(MemoryBlockOf(stale), 0x4375, 100),
                                   u"too many mallocs lv=2, max=2\r\n"}));
}

TEST_F(Memory, ExitIsHarmlessTwiceOrBeforeStartAndBlocksStayUsable) {
    EXPECT_EQ(MemoryExit(), 0);
    EXPECT_EQ(MemoryExit(), 0);
    // Without a lock the single thread still allocates and frees.
    void* block = MemoryAlloc(16, 0, 4);
    ASSERT_NE(block, nullptr);
    MemoryInit();
    MemoryInit(); // a second start keeps the one lock
    void* other = MemoryAlloc(16, 0, 4);
    MemoryFree(block);
    EXPECT_EQ(MemoryExit(), 0);
    MemoryFree(other);
    EXPECT_EQ(MemoryLevelCount(0), 0);
}

TEST_F(Memory, ThreadsShareTheLevelsUnderTheLock) {
    const int32_t count = allocCount;
    const int32_t bytes = allocBytes;
    auto churn = [] {
        std::vector<void*> held;
        for (int round = 0; round < 2000; ++round) {
            held.push_back(MemoryAlloc(round % 64, 0, 8));
            if (round % 3 == 2) {
                MemoryFree(held.front());
                held.erase(held.begin());
            }
            if (held.size() > 100) {
                for (void* block : held)
                    MemoryFree(block);
                held.clear();
            }
        }
        for (void* block : held)
            MemoryFree(block);
    };
    std::thread a(churn);
    std::thread b(churn);
    churn();
    a.join();
    b.join();
    EXPECT_EQ(allocCount, count);
    EXPECT_EQ(allocBytes, bytes);
    EXPECT_EQ(MemoryLevelCount(0), 0);
}
