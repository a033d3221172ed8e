#include "resource/text_reader.h"
#include "text_test_files.h"

#include <cstring>

namespace {

// Buffer sizes that put every line boundary, carriage return and cut at
// another place in the buffer, and whole-file mode.
const int32_t kModes[] = {kTextReaderWholeFile, 1, 7, 4096};

// Every ReadLine result up to and with the end: the line, or "<end>".
std::vector<std::string> ReadAll(const char* name, int32_t bufferSize, int32_t limit) {
    TextReader reader;
    TextReaderInit(&reader);
    std::vector<std::string> lines;
    if (!TextReaderOpen(&reader, name, bufferSize)) {
        lines.push_back("<open failed>");
        return lines;
    }
    std::vector<char> out(limit + 1);
    for (;;) {
        int32_t length = TextReaderReadLine(&reader, out.data(), limit);
        if (length < 0) break;
        EXPECT_EQ(length, static_cast<int32_t>(std::strlen(out.data())));
        lines.push_back(out.data());
    }
    lines.push_back("<end>");
    TextReaderDestroy(&reader);
    return lines;
}

using Lines = std::vector<std::string>;

} // namespace

TEST_F(TextFilesTest, LineEndingsAndTheUnterminatedLastLine) {
    Write("crlf.txt", "a\r\nb\n");
    Write("lf.txt", "a\nb");
    Write("empty.txt", "");
    Write("cr.txt", "\r\r\n\rx\r\n");
    for (int32_t mode : kModes) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(ReadAll("crlf.txt", mode, 256), (Lines{"a", "b", "<end>"}));
        // The last line has no line feed: it is not delivered.
        EXPECT_EQ(ReadAll("lf.txt", mode, 256), (Lines{"a", "<end>"}));
        EXPECT_EQ(ReadAll("empty.txt", mode, 256), (Lines{"<end>"}));
        // Carriage returns anywhere are dropped.
        EXPECT_EQ(ReadAll("cr.txt", mode, 256), (Lines{"", "x", "<end>"}));
    }
}

TEST_F(TextFilesTest, LinesCutAtTheLimit) {
    Write("cut.txt", "abcd\nabcdef\r\nx\n");
    for (int32_t mode : kModes) {
        SCOPED_TRACE(mode);
        // A line of exactly the limit leaves its line feed: an empty line next.
        EXPECT_EQ(ReadAll("cut.txt", mode, 4), (Lines{"abcd", "", "abcd", "ef", "x", "<end>"}));
        // A carriage return does not count against the limit.
        EXPECT_EQ(ReadAll("cut.txt", mode, 1), (Lines{"a", "b", "c", "d", "", "a", "b", "c", "d",
                                                      "e", "f", "", "x", "", "<end>"}));
    }

    TextReader reader;
    TextReaderInit(&reader);
    ASSERT_EQ(TextReaderOpen(&reader, "cut.txt", 7), 1);
    char out[8] = "#######";
    // Limit 0 (and a negative one) reads nothing and gives an empty line.
    EXPECT_EQ(TextReaderReadLine(&reader, out, 0), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(TextReaderReadLine(&reader, out, -5), 0);
    EXPECT_EQ(TextReaderNextLine(&reader, out, 0), nullptr);
    EXPECT_EQ(TextReaderReadLine(&reader, out, 7), 4);
    EXPECT_STREQ(out, "abcd");
    TextReaderDestroy(&reader);
}

TEST_F(TextFilesTest, StreamingBuffersGiveTheLinesOfTheWholeFile) {
    std::string text = "# header\r\n\r\n  first, 1 2\n";
    for (int i = 0; i < 40; ++i) {
        text += std::string(i * 7 % 53, 'a' + i % 26) + (i % 3 ? "\r\n" : "\n");
    }
    text += "\xe9\xff,tail without end";
    Write("mixed.txt", text);
    for (int32_t limit : {1, 16, 256}) {
        SCOPED_TRACE(limit);
        Lines whole = ReadAll("mixed.txt", kTextReaderWholeFile, limit);
        ASSERT_GT(whole.size(), 40u);
        for (int32_t size : {1, 2, 7, 64, 4096}) {
            EXPECT_EQ(ReadAll("mixed.txt", size, limit), whole) << "buffer " << size;
        }
    }
}

TEST_F(TextFilesTest, NextLineSkipsCommentsAndSeparatorLines) {
    Write("comments.txt", "   \n,,,\n\n#note\n// note\n/note\n\t ,# not first\n  x\ny");
    for (int32_t mode : kModes) {
        SCOPED_TRACE(mode);
        TextReader reader;
        TextReaderInit(&reader);
        ASSERT_EQ(TextReaderOpen(&reader, "comments.txt", mode), 1);
        char out[257];
        // '#' after separators is still a comment.
        char* content = TextReaderNextLine(&reader, out, 256);
        ASSERT_EQ(content, out + 2);
        EXPECT_STREQ(content, "x");
        EXPECT_EQ(TextReaderNextLine(&reader, out, 256), nullptr);
        TextReaderClose(&reader);
        TextReaderDestroy(&reader);
        TextReaderClose(&reader);
    }
}

TEST_F(TextFilesTest, MissingFilesAndRefusedOpens) {
    for (int32_t mode : kModes) {
        SCOPED_TRACE(mode);
        debugLines.clear();
        TextReader reader;
        TextReaderInit(&reader);
        EXPECT_EQ(TextReaderOpen(&reader, "missing.txt", mode), 0);
        EXPECT_TRUE(Printed(u"al:FileOpen[\\missing.txt]"));
        // A failed open holds nothing: no buffer, no handle, no data.
        EXPECT_EQ(reader.buffer, nullptr);
        EXPECT_EQ(reader.handle, 0u);
        char out[8];
        EXPECT_EQ(TextReaderReadLine(&reader, out, 7), -1);
        TextReaderDestroy(&reader);
        TextReaderDestroy(&reader);
    }

    Write("a.txt", "a\n");
    for (int32_t size : {0, -2, INT32_MIN}) {
        debugLines.clear();
        TextReader reader;
        TextReaderInit(&reader);
        EXPECT_EQ(TextReaderOpen(&reader, "a.txt", size), 0);
        EXPECT_TRUE(Printed(u"TextReaderSizeError"));
        EXPECT_EQ(debugLines.size(), 1u) << "the file must not be opened";
        TextReaderDestroy(&reader);
    }
}

TEST_F(TextFilesTest, NoBufferNoOpen) {
    Write("a.txt", "a\n");
    // A level with room for one block, already taken: the streaming buffer
    // cannot be had.
    MemoryLevelSetup(1, 0);
    void* taken = MemoryAlloc(4, 0, 4);
    ASSERT_NE(taken, nullptr);
    TextReader reader;
    TextReaderInit(&reader);
    EXPECT_EQ(TextReaderOpen(&reader, "a.txt", 16), 0);
    EXPECT_TRUE(Printed(u"TextReaderAllocError"));
    EXPECT_FALSE(Printed(u"al:FileOpen[\\a.txt]"));
    EXPECT_EQ(host::OpenFileCount(), 0);
    char out[8];
    EXPECT_EQ(TextReaderReadLine(&reader, out, 7), -1);
    TextReaderDestroy(&reader);
    MemoryFree(taken);
}
