// The line reader and the list parser, whole-file and through streaming buffers
// (of 1 and 7 bytes: every line boundary, carriage return and cut falls on a refill).
#include "device_fixture.h"
#include "host/files.h"
#include "host/raw_heap.h"
#include "resource/text_reader.h"

#include <cstring>
#include <tuple>

namespace {

const int32_t kModes[] = {kTextReaderWholeFile, 1, 7, 4096};
using Texts = std::vector<std::string>;

// Every test gives back each block it takes and closes each file it opens.
class TextFilesTest : public DeviceFolderTest {
  protected:
    void SetUp() override {
        DeviceFolderTest::SetUp();
        blocks_ = allocCount;
    }
    void TearDown() override {
        host::RawHeapSetFaults({});
        EXPECT_EQ(allocCount, blocks_) << "a tracked block was left";
        EXPECT_EQ(host::OpenFileCount(), 0) << "a file was left open";
        DeviceFolderTest::TearDown();
    }

    // Every line ReadLine delivers, each checked against its length.
    Texts ReadAll(const char* name, int32_t bufferSize, int32_t limit) {
        TextReader reader;
        TextReaderInit(&reader);
        if (!TextReaderOpen(&reader, name, bufferSize)) return {"<open failed>"};
        Texts lines;
        std::vector<char> out(limit + 1);
        for (int32_t length; (length = TextReaderReadLine(&reader, out.data(), limit)) >= 0;) {
            EXPECT_EQ(length, static_cast<int32_t>(std::strlen(out.data())));
            lines.push_back(out.data());
        }
        TextReaderDestroy(&reader);
        return lines;
    }

    int32_t blocks_ = 0;
};

TEST_F(TextFilesTest, LineEndingsLimitsAndTheUnterminatedLastLine) {
    const struct {
        const char* bytes;
        int32_t limit;
        Texts lines;
    } rows[] = {
        {"a\r\nb\n", 256, {"a", "b"}},
        {"a\nb", 256, {"a"}}, // a last line without a line feed is not delivered
        {"", 256, {}},
        {"\r\r\n\rx\r\n", 256, {"", "x"}}, // carriage returns anywhere are dropped
        // A line of exactly the limit leaves its line feed: an empty line next.
        {"abcd\nabcdef\r\nx\n", 4, {"abcd", "", "abcd", "ef", "x"}},
        // A carriage return does not count against the limit.
        {"ab\r\nc\n", 1, {"a", "b", "", "c", ""}},
    };
    for (const auto& row : rows) {
        WriteHostFile("row.txt", row.bytes);
        for (int32_t mode : kModes) {
            SCOPED_TRACE(testing::Message()
                         << row.bytes << " limit " << row.limit << " mode " << mode);
            EXPECT_EQ(ReadAll("row.txt", mode, row.limit), row.lines);
        }
    }

    TextReader reader;
    TextReaderInit(&reader);
    ASSERT_EQ(TextReaderOpen(&reader, "row.txt", 7), 1);
    char out[8] = "#######";
    // Limit 0 (and a negative one) reads nothing and gives an empty line.
    EXPECT_EQ(TextReaderReadLine(&reader, out, 0), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(TextReaderReadLine(&reader, out, -5), 0);
    EXPECT_EQ(TextReaderNextLine(&reader, out, 0), nullptr);
    EXPECT_EQ(TextReaderReadLine(&reader, out, 7), 2);
    EXPECT_STREQ(out, "ab");
    TextReaderDestroy(&reader);
}

TEST_F(TextFilesTest, NextLineSkipsCommentsAndSeparatorLines) {
    WriteHostFile("comments.txt", "   \n,,,\n\n#note\n// note\n/note\n\t ,# not first\n  x\ny");
    for (int32_t mode : kModes) {
        TextReader reader;
        TextReaderInit(&reader);
        ASSERT_EQ(TextReaderOpen(&reader, "comments.txt", mode), 1) << mode;
        char out[257];
        // '#' after separators is still a comment.
        const char* content = TextReaderNextLine(&reader, out, 256);
        ASSERT_EQ(content, out + 2);
        EXPECT_STREQ(content, "x");
        EXPECT_EQ(TextReaderNextLine(&reader, out, 256), nullptr);
        TextReaderClose(&reader);
        TextReaderDestroy(&reader);
        TextReaderClose(&reader);
    }
}

TEST_F(TextFilesTest, FailedOpensSayWhyAndLeaveOnlyWhatCloseGivesBack) {
    const auto expectFailed = [this](const char* name, int32_t size, const std::u16string& line,
                                     bool keepsBuffer) {
        TextReader reader;
        TextReaderInit(&reader);
        EXPECT_EQ(TextReaderOpen(&reader, name, size), 0);
        EXPECT_TRUE(lines_.Has(line)) << size;
        lines_.clear();
        // A streaming open whose file failed keeps its buffer and the invalid
        // handle until the reader is closed.
        EXPECT_EQ(allocCount, blocks_ + (keepsBuffer ? 1 : 0)) << size;
        EXPECT_EQ(reader.handle, keepsBuffer ? host::kInvalidFileHandle : 0u) << size;
        char out[8];
        EXPECT_EQ(TextReaderReadLine(&reader, out, 7), -1);
        TextReaderDestroy(&reader);
        EXPECT_EQ(allocCount, blocks_) << size;
        TextReaderDestroy(&reader);
    };
    for (int32_t mode : kModes)
        expectFailed("missing.txt", mode, u"al:FileOpen[\\missing.txt]",
                     mode != kTextReaderWholeFile);
    // A buffer of no bytes opens the file and yields no lines.
    WriteHostFile("a.txt", "a\n");
    EXPECT_EQ(ReadAll("a.txt", 0, 7), Texts{});
    EXPECT_TRUE(lines_.Has(u"al:FileOpen[\\a.txt]"));
    // Refused sizes and a buffer that cannot be had: the file is never opened.
    for (int32_t size : {-2, INT32_MIN})
        expectFailed("a.txt", size, u"TextReaderSizeError", false);
    host::RawHeapResetCount();
    host::RawHeapSetFaults({1, 0});
    expectFailed("a.txt", 16, u"TextReaderAllocError", false);
}

using Entries = std::vector<std::tuple<int32_t, int32_t, std::u16string>>;

Entries Parse(const char* name, int32_t selector, int32_t bufferSize) {
    Entries entries;
    const auto gather = [](int32_t first, int32_t second, const char16_t* entryName, void* user) {
        static_cast<Entries*>(user)->emplace_back(first, second, entryName);
    };
    EXPECT_EQ(ListParse(name, gather, &entries, selector, bufferSize), 0);
    return entries;
}

TEST_F(TextFilesTest, ListEntriesTheirSelectorAndLinesLongerThanTheLineBuffer) {
    // A line cut at 256 characters comes back as the next line: an entry of its own.
    const std::string field(255, 'f'), name(300, 'n');
    WriteHostFile("list.txt", "# (0 0 0 comment)\nitem (x, 3, 1, foo)\r\n(y 4 2 bar ) trailing\n"
                              "(x, 3, 1)\nno entry 5 6 name\n  (z,-7,2,\xe9t\xe9\n(" +
                                  field + "(t 1 2 tail)\n(a 5 6 " + name + "\n(last 1 2 unended)");
    const Entries::value_type bar{4, 2, u"bar"}, signedBytes{-7, 2, u"\uffe9t\uffe9"},
        tail{1, 2, u"tail)"}, cut{5, 6, std::u16string(249, u'n')}; // cut with its line
    for (int32_t mode : kModes) {
        SCOPED_TRACE(mode);
        // The name ends only at a separator: the ')' right after foo is kept.
        EXPECT_EQ(Parse("list.txt", -1, mode),
                  (Entries{{3, 1, u"foo)"}, bar, signedBytes, tail, cut}));
        EXPECT_EQ(Parse("list.txt", 2, mode), (Entries{bar, signedBytes, tail}));
        EXPECT_EQ(Parse("list.txt", 5, mode), Entries{});
        EXPECT_EQ(Parse("missing.txt", -1, mode), Entries{});
    }
}

} // namespace
