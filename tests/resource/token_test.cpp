#include "host/debug_output.h"
#include "resource/text_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void Collect(const char16_t* text, void* context) {
    static_cast<std::vector<std::u16string>*>(context)->push_back(text);
}

// Gathers the debug lines printed while it lives.
class DebugLines {
  public:
    DebugLines() {
        host::SetDebugToStderr(false);
        host::SetDebugListener(Collect, &lines);
    }
    ~DebugLines() {
        host::SetDebugListener(nullptr, nullptr);
        host::SetDebugToStderr(true);
    }
    std::vector<std::u16string> lines;
};

} // namespace

TEST(Token, SkipAndGetOverSeparatorsAndCommas) {
    TextReader reader;
    TextReaderInit(&reader);
    const char* text = " ,, abc,def";
    char out[16];
    const char* p = TokenGet(&reader, out, text);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(p, text + 7);
    p = TokenGet(&reader, out, p);
    EXPECT_STREQ(out, "def");
    EXPECT_EQ(*p, 0);
    // At the end nothing is left: an empty token, the terminator again.
    EXPECT_EQ(TokenGet(&reader, out, p), p);
    EXPECT_STREQ(out, "");

    // Every control byte is a separator; bytes above 127 are characters.
    const char* mixed = "\x01\x1f\t\x7f\xe9t\x80 z";
    p = TokenGet(&reader, out, mixed);
    EXPECT_STREQ(out, "\x7f\xe9t\x80");
    EXPECT_EQ(TokenSkip(&reader, p), mixed + 8);
}

TEST(Token, WideTokensWidenBytesAsSigned) {
    TextReader reader;
    TextReaderInit(&reader);
    char16_t out[8];
    const char* p = TokenGetWide(&reader, out, "  a\x80\xff) rest");
    EXPECT_EQ(std::u16string(out), u"a\uff80\uffff)");
    EXPECT_EQ(*p, ' ');
}

TEST(Token, QuotedAndUnquotedFields) {
    TextReader reader;
    TextReaderInit(&reader);
    char out[16];
    const char* quoted = "\"a b\",c";
    const char* p = TokenGetField(&reader, out, quoted);
    EXPECT_STREQ(out, "a b");
    EXPECT_EQ(p, quoted + 6);

    p = TokenGetField(&reader, out, "a b,c");
    EXPECT_STREQ(out, "a b");
    EXPECT_STREQ(p, "c");

    const char* plain = "abc";
    EXPECT_EQ(TokenGetField(&reader, out, plain), plain + 3);
    EXPECT_STREQ(out, "abc");

    // Separators before an unquoted field are kept; a quote never closed
    // runs to the end; commas inside quotes are field text.
    p = TokenGetField(&reader, out, " x,y");
    EXPECT_STREQ(out, " x");
    p = TokenGetField(&reader, out, "\"1,2");
    EXPECT_STREQ(out, "1,2");
    EXPECT_EQ(*p, 0);
    p = TokenGetField(&reader, out, ",next");
    EXPECT_STREQ(out, "");
    EXPECT_STREQ(p, "next");
}

TEST(Token, Numbers) {
    TextReader reader;
    TextReaderInit(&reader);
    Fixed fixed = 1;
    TokenGetFixed(&reader, &fixed, "1.5");
    EXPECT_EQ(fixed, 98304);
    const char* p = TokenGetFixed(&reader, &fixed, " -0.5,7");
    EXPECT_EQ(fixed, -32768);
    EXPECT_STREQ(p, ",7");
    TokenGetFixed(&reader, &fixed, "-1.99999");
    EXPECT_EQ(fixed, -131071); // truncated toward zero
    TokenGetFixed(&reader, &fixed, "1e30");
    EXPECT_EQ(fixed, INT32_MAX);
    TokenGetFixed(&reader, &fixed, "-1e30");
    EXPECT_EQ(fixed, INT32_MIN);
    TokenGetFixed(&reader, &fixed, "nan");
    EXPECT_EQ(fixed, 0);
    TokenGetFixed(&reader, &fixed, "32767.99999");
    EXPECT_EQ(fixed, 0x7FFFFFFF);
    TokenGetFixed(&reader, &fixed, "-32768");
    EXPECT_EQ(fixed, INT32_MIN);

    int32_t value = 1;
    p = TokenGetInt(&reader, &value, ",-42 9");
    EXPECT_EQ(value, -42);
    p = TokenGetInt(&reader, &value, p);
    EXPECT_EQ(value, 9);
    TokenGetInt(&reader, &value, "word");
    EXPECT_EQ(value, 0);
    TokenGetInt(&reader, &value, "12abc");
    EXPECT_EQ(value, 12);
    TokenGetInt(&reader, &value, "99999999999");
    EXPECT_EQ(value, INT32_MAX);
    TokenGetInt(&reader, &value, "-99999999999999999999999");
    EXPECT_EQ(value, INT32_MIN);
}

TEST(Token, OverlongTokensAreCutWithinTheirBuffers) {
    DebugLines debug;
    TextReader reader;
    TextReaderInit(&reader);
    // Guard bytes after the capacity the caller gives catch writes past it.
    char out[8];
    std::fill(std::begin(out), std::end(out), '#');
    const char* text = "abcdefghij,k";
    const char* p = TokenGet(&reader, out, 5, text);
    EXPECT_STREQ(out, "abcd");
    EXPECT_EQ(out[5], '#');
    EXPECT_EQ(p, text + 10); // the rest of the token is skipped, not split off
    ASSERT_EQ(debug.lines.size(), 1u);
    EXPECT_EQ(debug.lines[0], u"TokenTooLong\r\n");

    char16_t wide[4] = {u'#', u'#', u'#', u'#'};
    p = TokenGetWide(&reader, wide, 3, "wxyz ok");
    EXPECT_EQ(std::u16string(wide), u"wx");
    EXPECT_EQ(wide[3], u'#');
    EXPECT_STREQ(p, " ok");

    p = TokenGetField(&reader, out, 4, "\"quoted field\",n");
    EXPECT_STREQ(out, "quo");
    EXPECT_STREQ(p, "n");

    // A capacity of 0 writes nothing at all.
    out[0] = '#';
    p = TokenGet(&reader, out, 0, "abc d");
    EXPECT_EQ(out[0], '#');
    EXPECT_STREQ(p, " d");

    // A token of exactly capacity - 1 characters fits without a message.
    debug.lines.clear();
    TokenGet(&reader, out, 4, "abc");
    EXPECT_STREQ(out, "abc");
    EXPECT_TRUE(debug.lines.empty());
}

TEST(Token, NumbersLongerThanTheConversionBufferGiveZero) {
    DebugLines debug;
    TextReader reader;
    TextReaderInit(&reader);
    // 79 characters still convert; 80 would be cut, and a cut number is a
    // different number, so it is refused.
    std::string fits = std::string(78, '0') + "7";
    std::string overlong = std::string(79, '0') + "7";
    int32_t value = -1;
    const char* p = TokenGetInt(&reader, &value, fits.c_str());
    EXPECT_EQ(value, 7);
    EXPECT_EQ(p, fits.c_str() + fits.size());
    std::string text = overlong + " 5";
    p = TokenGetInt(&reader, &value, text.c_str());
    EXPECT_EQ(value, 0);
    EXPECT_STREQ(p, " 5");
    std::string decimal = "1." + std::string(200, '5');
    Fixed fixed = -1;
    TokenGetFixed(&reader, &fixed, decimal.c_str());
    EXPECT_EQ(fixed, 0);
    EXPECT_FALSE(debug.lines.empty());
}
