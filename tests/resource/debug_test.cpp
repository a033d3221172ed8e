#include "resource/debug.h"

#include "device_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Formats into `capacity` characters followed by marks that must survive.
std::u16string Format(size_t capacity, const char16_t* format, ...) {
    std::u16string out(capacity + 8, u'#');
    va_list args;
    va_start(args, format);
    const size_t length = WideFormat(&out[0], capacity, format, args);
    va_end(args);
    EXPECT_EQ(out.find_first_not_of(u'#', capacity), std::u16string::npos) << "past the buffer";
    if (capacity == 0) {
        EXPECT_EQ(length, 0u);
        return u"";
    }
    EXPECT_EQ(out[length], 0) << "terminator";
    return out.substr(0, length);
}

} // namespace

// The allocator's, file layer's and texture loader's own tests check their
// messages word for word; here: the line ends, wide names, negative codes, and
// a line too long for its 512-character buffer cut, never written past it.
TEST(DebugPrint, EndsEveryLineAndCutsALongOneAtItsBuffer) {
    DebugLines lines;
    DebugOutput(u"as is");
    DebugPrint(u"al:FileOpen[%s]", u"\\k\u00e4se\\hana01.zit");
    FailReport(u"x", u"memory.cpp", 7, -1);
    const std::u16string path(600, u'p');
    DebugPrint(u"al:FileOpen[%s]", path.c_str());
    // 512 characters: 509 of text, "\r\n" and the terminator.
    const std::u16string fits(509, u'f');
    DebugPrint(fits.c_str());
    DebugPrint((fits + u'g').c_str());
    // A surrogate pair that would straddle the cut is left out whole.
    DebugPrint((std::u16string(508, u'a') + u"\U0001F600").c_str());
    EXPECT_EQ(lines.Take(),
              (Lines{u"as is", u"al:FileOpen[\\k\u00e4se\\hana01.zit]\r\n",
                     u"AL Failed(x) -1(ffffffff)\nmemory.cpp:7\r\n",
                     u"al:FileOpen[" + path.substr(0, 509 - 12) + u"\r\n", fits + u"\r\n",
                     fits + u"\r\n", std::u16string(508, u'a') + u"\r\n"}));
}

// The conversions the system's messages use; widths are checked for their
// bound below.
TEST(WideFormat, Conversions) {
    EXPECT_EQ(
        Format(99, u"%d %d %d|%u %x %X %lx", -42, INT32_MIN, INT32_MAX, -1, 0xBEEF, 0xbeef, 26),
        u"-42 -2147483648 2147483647|4294967295 beef BEEF 1a");
    EXPECT_EQ(Format(99, u"%c%c %% [%s][%s]", u'A', 0x3042, u"wide", (const char16_t*)nullptr),
              u"A\u3042 % [wide][(null)]");
    // Unknown conversions stay literal and take no argument.
    EXPECT_EQ(Format(99, u"%q %f%d end %", 3), u"%q %f3 end %");
    EXPECT_EQ(Format(99, u"[%5d][%-5d][%05d][%08x][%.2s][%*d]", 42, -42, -42, 0x1a, u"abc", 3, 1),
              u"[   42][-42  ][-0042][0000001a][ab][  1]");
}

TEST(WideFormat, NeverWritesPastItsCapacity) {
    EXPECT_EQ(Format(0, u"abc"), u"");
    EXPECT_EQ(Format(1, u"abc"), u"");
    EXPECT_EQ(Format(4, u"abc"), u"abc");
    EXPECT_EQ(Format(4, u"abcd"), u"abc");
    EXPECT_EQ(Format(6, u"%s", u"longer than six"), u"longe");
    EXPECT_EQ(Format(6, u"%999999999d", 1), u"     ");
    EXPECT_EQ(Format(6, u"%-999999999d|", 1), u"1    ");
    EXPECT_EQ(Format(6, u"%.999999999d", 1), u"00000");
    EXPECT_EQ(Format(3, u"%x", 0xFFFFFFFFu), u"ff");
}
