// The tokenizer: separators, fields, numbers, and outputs kept within their capacity.
#include "device_fixture.h"
#include "resource/text_reader.h"

#include <string>

namespace {

class Token : public ::testing::Test {
  protected:
    Token() { TextReaderInit(&reader); }
    TextReader reader;
    DebugLines debug;
};

TEST_F(Token, GetOverSeparatorsAndCommas) {
    const char* text = " ,, abc,def";
    char out[16];
    const char* p = TokenGet(&reader, out, text);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(p, text + 7);
    EXPECT_EQ(*(p = TokenGet(&reader, out, p)), 0);
    EXPECT_STREQ(out, "def");
    // At the end nothing is left: an empty token, the terminator again.
    EXPECT_EQ(TokenGet(&reader, out, p), p);
    EXPECT_STREQ(out, "");

    // Every control byte is a separator; bytes above 127 are characters.
    const char* mixed = "\x01\x1f\t\x7f\xe9t\x80 z";
    p = TokenGet(&reader, out, mixed);
    EXPECT_STREQ(out, "\x7f\xe9t\x80");
    EXPECT_EQ(TokenSkip(&reader, p), mixed + 8);

    // Wide tokens widen each byte as a signed one.
    char16_t wide[8];
    EXPECT_STREQ(TokenGetWide(&reader, wide, "  a\x80\xff) rest"), " rest");
    EXPECT_EQ(std::u16string(wide), u"a\uff80\uffff)");
}

TEST_F(Token, QuotedAndUnquotedFields) {
    // Leading separators kept unquoted; an unclosed quote runs to the end.
    const struct {
        const char* text;
        const char* field;
        const char* rest;
    } rows[] = {{"\"a b\",c", "a b", "c"}, {"a b,c", "a b", "c"}, {"abc", "abc", ""},
                {" x,y", " x", "y"},       {"\"1,2", "1,2", ""},  {",next", "", "next"}};
    for (const auto& row : rows) {
        char out[16];
        EXPECT_STREQ(TokenGetField(&reader, out, row.text), row.rest) << row.text;
        EXPECT_STREQ(out, row.field) << row.text;
    }
}

TEST_F(Token, NumbersSaturateAndOverlongOnesGiveZero) {
    // Truncated toward zero, saturated; 79 characters convert, 80 are refused.
    const std::string fits = std::string(78, '0') + "7", overlong = std::string(79, '0') + "7",
                      longDecimal = "1." + std::string(200, '5');
    using Rows = std::initializer_list<std::pair<std::string, int32_t>>;
    const auto expectRows = [this](auto get, Rows rows) {
        for (const auto& [text, expected] : rows) {
            int32_t value = 1;
            EXPECT_EQ(*get(&reader, &value, text.c_str()), 0) << text;
            EXPECT_EQ(value, expected) << text;
        }
    };
    // clang-format off
    expectRows(TokenGetFixed, {{"1.5", 98304}, {" -0.5", -32768}, {"-1.99999", -131071},
        {"1e30", INT32_MAX}, {"-1e30", INT32_MIN}, {"nan", 0}, {"32767.99999", 0x7FFFFFFF},
        {"-32768", INT32_MIN}, {longDecimal, 0}});
    expectRows(TokenGetInt, {{",-42", -42}, {"word", 0}, {"12abc", 12}, {"9999999999", INT32_MAX},
        {"-9999999999", INT32_MIN}, {"2147483647", INT32_MAX}, {fits, 7}, {overlong, 0}});
    // clang-format on
    // The position handed back is behind the number, overlong or not.
    Fixed fixed = 0;
    EXPECT_STREQ(TokenGetFixed(&reader, &fixed, " -0.5,7"), ",7");
    int32_t value = 0;
    TokenGetInt(&reader, &value, TokenGetInt(&reader, &value, ",-42 9"));
    EXPECT_EQ(value, 9);
    EXPECT_STREQ(TokenGetInt(&reader, &value, (overlong + " 5").c_str()), " 5");
    EXPECT_FALSE(debug.Take().empty());
}

TEST_F(Token, OverlongTokensAreCutWithinTheirBuffers) {
    // Guard bytes after the capacity the caller gives catch writes past it.
    char out[8] = "#######";
    const char* text = "abcdefghij,k";
    EXPECT_EQ(TokenGet(&reader, out, 5, text), text + 10); // the rest is skipped, not split off
    EXPECT_STREQ(out, "abcd");
    EXPECT_EQ(out[5], '#');
    EXPECT_EQ(debug.Take(), Lines{u"TokenTooLong\r\n"});

    char16_t wide[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_STREQ(TokenGetWide(&reader, wide, 3, "wxyz ok"), " ok");
    EXPECT_EQ(std::u16string(wide), u"wx");
    EXPECT_EQ(wide[3], u'#');

    EXPECT_STREQ(TokenGetField(&reader, out, 4, "\"quoted field\",n"), "n");
    EXPECT_STREQ(out, "quo");

    // A capacity of 0 writes nothing at all.
    out[0] = '#';
    EXPECT_STREQ(TokenGet(&reader, out, 0, "abc d"), " d");
    EXPECT_EQ(out[0], '#');

    // A token of exactly capacity - 1 characters fits without a message.
    debug.clear();
    TokenGet(&reader, out, 4, "abc");
    EXPECT_STREQ(out, "abc");
    EXPECT_TRUE(debug.Take().empty());
}

} // namespace
