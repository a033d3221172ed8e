#include "host/screen.h"
#include "host/screen_digest.h"

#include <gtest/gtest.h>

namespace {

// The expected values are FNV-1a over the 153600 bytes of the screen, worked
// out apart from this code: a blank screen, and one pixel set in two places
// and in two byte orders, so the byte order and the row order both show.
TEST(ScreenDigest, FoldsThePixelsLowByteFirstInRowOrder) {
    struct Case {
        const char* what;
        int32_t x, y;
        uint16_t pixel;
        uint32_t digest;
    };
    const Case cases[] = {{"blank", 0, 0, 0x0000, 0xc18e7dc5u},
                          {"0x1234 at (0, 0)", 0, 0, 0x1234, 0xcd487e6bu},
                          {"0x3412 at (0, 0)", 0, 0, 0x3412, 0x0e78ce5bu},
                          {"0x1234 at (1, 0)", 1, 0, 0x1234, 0xee4e9c1bu},
                          {"0x1234 at (0, 1)", 0, 1, 0x1234, 0x121d196bu}};
    for (const Case& c : cases) {
        ASSERT_TRUE(host::ScreenSetUp(host::DefaultScreenProperties()));
        host::ScreenSetPixel(c.x, c.y, c.pixel);
        EXPECT_EQ(host::ScreenDigest(), c.digest) << c.what;
    }
}

TEST(ScreenDigest, IsWrittenAsEightLowerCaseDigits) {
    EXPECT_EQ(host::DigestText(0x2F15884Cu), "2f15884c");
    EXPECT_EQ(host::DigestText(0xABCu), "00000abc");
}

} // namespace
