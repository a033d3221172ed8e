#include "resource/debug.h"

#include "debug_lines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using Lines = std::vector<std::u16string>;

namespace {

std::u16string Format(size_t capacity, const char16_t* format, ...) {
    std::u16string out(capacity + 8, u'#'); // '#' beyond the capacity must survive
    va_list args;
    va_start(args, format);
    const size_t length = WideFormat(&out[0], capacity, format, args);
    va_end(args);
    EXPECT_EQ(out.find_first_not_of(u'#', capacity), std::u16string::npos) << "past the buffer";
    if (capacity == 0) {
        EXPECT_EQ(length, 0u);
        return std::u16string();
    }
    EXPECT_EQ(out[length], 0) << "terminator";
    return out.substr(0, length);
}

std::u16string Format(const char16_t* format, ...) {
    char16_t out[256];
    va_list args;
    va_start(args, format);
    const size_t length = WideFormat(out, 256, format, args);
    va_end(args);
    return std::u16string(out, length);
}

} // namespace

TEST(DebugPrint, SendsOneLineEndingInCarriageReturnLineFeed) {
    DebugLines lines;
    DebugPrint(u"ZitLoadError");
    DebugPrint(u"too many mallocs lv=%d, max=%d", 0, 1024);
    DebugPrint(u"dirty memory adr:%x id:%x size:%d", 0x1234abcd, 0x5124, 40);
    DebugPrint(u"al:FileOpen[%s]", u"\\Program Files\\k\u00e4se\\hana01.zit");
    DebugOutput(u"as is");
    EXPECT_EQ(lines.Take(),
              (Lines{u"ZitLoadError\r\n", u"too many mallocs lv=0, max=1024\r\n",
                     u"dirty memory adr:1234abcd id:5124 size:40\r\n",
                     u"al:FileOpen[\\Program Files\\k\u00e4se\\hana01.zit]\r\n", u"as is"}));
}

TEST(DebugPrint, FailReportNamesMessageCodeFileAndLine) {
    DebugLines lines;
    FailReport(u"not enough memory", u"F", 202, 26);
    FailReport(u"x", u"memory.cpp", 7, -1);
    EXPECT_EQ(lines.Take(), (Lines{u"AL Failed(not enough memory) 26(1a)\nF:202\r\n",
                                   u"AL Failed(x) -1(ffffffff)\nmemory.cpp:7\r\n"}));
}

TEST(DebugPrint, CutsALongLineAtItsBufferAndStillEndsIt) {
    DebugLines lines;
    const std::u16string path(600, u'p');
    DebugPrint(u"al:FileOpen[%s]", path.c_str());
    // 512 characters: 509 of text, "\r\n" and the terminator.
    std::u16string fits(509, u'f');
    DebugPrint(fits.c_str());
    fits.push_back(u'g');
    DebugPrint(fits.c_str());
    // A surrogate pair that would straddle the cut is left out whole.
    std::u16string pair(508, u'a');
    pair += u"\U0001F600";
    DebugPrint(pair.c_str());

    const Lines got = lines.Take();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0], u"al:FileOpen[" + path.substr(0, 509 - 12) + u"\r\n");
    EXPECT_EQ(got[1], std::u16string(509, u'f') + u"\r\n");
    EXPECT_EQ(got[2], got[1]);
    EXPECT_EQ(got[3], std::u16string(508, u'a') + u"\r\n");
}

TEST(WideFormat, Conversions) {
    EXPECT_EQ(Format(u"%d %i %d %d", -42, 7, INT32_MIN, INT32_MAX),
              u"-42 7 -2147483648 2147483647");
    EXPECT_EQ(Format(u"%u %x %X %lx %ld", -1, 0xBEEF, 0xbeef, 26, -5L),
              u"4294967295 beef BEEF 1a -5");
    EXPECT_EQ(Format(u"%c%c %%", u'A', 0x3042), u"A\u3042 %");
    EXPECT_EQ(Format(u"[%s][%s]", u"wide", static_cast<const char16_t*>(nullptr)),
              u"[wide][(null)]");
    EXPECT_EQ(Format(u"%q %f%d", 3), u"%q %f3"); // unknown: literal, no argument taken
    EXPECT_EQ(Format(u"end %"), u"end %");
    EXPECT_EQ(Format(u"no conversions"), u"no conversions");
}

TEST(WideFormat, FlagsWidthAndPrecision) {
    EXPECT_EQ(Format(u"[%5d][%-5d][%05d][%05d]", 42, 42, 42, -42), u"[   42][42   ][00042][-0042]");
    EXPECT_EQ(Format(u"[%.3d][%6.3d][%06.3d][%.0d][%+d][% d]", 7, -7, 7, 0, 5, 5),
              u"[007][  -007][   007][][+5][ 5]");
    EXPECT_EQ(Format(u"[%08x][%-4X|][%2x]", 0x1a, 0xA, 0x12345), u"[0000001a][A   |][12345]");
    EXPECT_EQ(Format(u"[%6s][%-6s][%.2s][%4.1s]", u"ab", u"ab", u"abcdef", u"xyz"),
              u"[    ab][ab    ][ab][   x]");
    EXPECT_EQ(Format(u"[%*d][%-*d][%.*s]", 4, 1, 3, 2, 1, u"zz"), u"[   1][2  ][z]");
    EXPECT_EQ(Format(u"[%3c]", u'c'), u"[  c]");
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
