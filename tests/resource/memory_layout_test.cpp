// The block layout on the machine the tests run on: four 32-bit words of
// header on the device's 32-bit processor, the pointer-sized form elsewhere.
// The 32-bit build (cmake/armhf-toolchain.cmake) runs this same test, so the
// device's layout is checked on a real 32-bit target, not only modelled.
#include "resource/memory.h"
#include "resource/memory_block.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kLevel = 15; // a level of its own, left as it was found

// The device's form, checkable on any host.
using DeviceHeader = BasicMemoryBlockHeader<uint32_t, uint32_t>;

} // namespace

TEST(MemoryLayout, DeviceHeaderIsFourWordsWithTheBackPointerLast) {
    EXPECT_EQ(sizeof(DeviceHeader), 16u);
    EXPECT_EQ(offsetof(DeviceHeader, backPointer), 12u);
}

TEST(MemoryLayout, UserAreaFollowsTheHeaderAtAlignmentFour) {
    // 32-bit: slot, size, mark/level/unused, back-pointer = 16 bytes.
    // 64-bit: 8-byte slot, size, mark/level/unused, 8-byte back-pointer = 24.
    const size_t expected = sizeof(void*) == 4 ? 16 : 24;
    ASSERT_EQ(sizeof(MemoryBlockHeader), expected);
    EXPECT_EQ(kMemoryHeaderBytes, expected);

    MemoryInit();
    MemoryLevelSetup(4, kLevel);
    for (int32_t size : {0, 1, 3, 4, 100}) {
        auto* user = static_cast<unsigned char*>(MemoryAlloc(size, kLevel, 4));
        ASSERT_NE(user, nullptr);
        MemoryBlockHeader* header = MemoryBlockOf(user);
        auto* raw = reinterpret_cast<unsigned char*>(header);
        EXPECT_EQ(user, raw + expected) << "size " << size;
        // No gap: the back-pointer word is the header's own last field.
        EXPECT_EQ(header->backPointer, static_cast<void*>(header));
        EXPECT_EQ(header->size, size);
        EXPECT_EQ(header->mark, kMemoryLiveMark);
        EXPECT_EQ(header->level, kLevel);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(user[size + i], kMemoryLiveGuard[i]);
        MemoryFree(user);
    }
    EXPECT_EQ(MemoryLevelCount(kLevel), 0);
    MemoryLevelRelease(kLevel);
}
