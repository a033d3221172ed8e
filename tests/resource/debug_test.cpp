#include "resource/debug.h"

#include "device_fixture.h"

#include <cstdint>

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

// The messages' own conversions are checked word for word with the messages;
// here the bounds, and formats that must not read a missing argument.
TEST(WideFormat, NeverWritesPastItsCapacityNorReadsMissingArguments) {
    EXPECT_EQ(Format(99, u"%d|%x|%s|%s", INT32_MIN, 0xBEEF, u"wide", (const char16_t*)nullptr),
              u"-2147483648|beef|wide|(null)");
    EXPECT_EQ(Format(99, u"%q %f%c%% end %", u'A'), u"%q %fA% end %");
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
