#include "host/screen_digest.h"

#include <gtest/gtest.h>

namespace {

// The folding itself: the clock's --digest at 10:08:30 (tests/host/device_runs.cmake).
TEST(ScreenDigest, IsWrittenAsEightLowerCaseDigits) {
    EXPECT_EQ(host::DigestText(0x2F15884Cu), "2f15884c");
    EXPECT_EQ(host::DigestText(0xABCu), "00000abc");
}

} // namespace
