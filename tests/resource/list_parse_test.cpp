#include "host/text.h"
#include "resource/text_reader.h"
#include "text_test_files.h"

namespace {

struct Entry {
    int32_t first;
    int32_t second;
    std::u16string name;
    bool operator==(const Entry& other) const {
        return first == other.first && second == other.second && name == other.name;
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
    return out << "(" << entry.first << ", " << entry.second << ", " << host::ToUtf8(entry.name)
               << ")";
}

void Gather(int32_t first, int32_t second, const char16_t* name, void* user) {
    static_cast<std::vector<Entry>*>(user)->push_back({first, second, name});
}

std::vector<Entry> Parse(const char* name, int32_t selector, int32_t bufferSize) {
    std::vector<Entry> entries;
    EXPECT_EQ(ListParse(name, Gather, &entries, selector, bufferSize), 0);
    return entries;
}

using Entries = std::vector<Entry>;

} // namespace

TEST_F(TextFilesTest, ListEntriesAndTheirSelector) {
    Write("list.txt", "# (0 0 0 comment)\n"
                      "item (x, 3, 1, foo)\r\n"
                      "(y 4 2 bar ) trailing words\n"
                      "(x, 3, 1)\n"
                      "no entry 5 6 name\n"
                      "  (z,-7,2,\xe9t\xe9\n"
                      "(last 1 2 unterminated)");
    for (int32_t mode : {kTextReaderWholeFile, 1, 7, 4096}) {
        SCOPED_TRACE(mode);
        // The name ends only at a separator: the ')' right after foo is kept.
        EXPECT_EQ(Parse("list.txt", -1, mode),
                  (Entries{{3, 1, u"foo)"}, {4, 2, u"bar"}, {-7, 2, u"\uffe9t\uffe9"}}));
        EXPECT_EQ(Parse("list.txt", 2, mode), (Entries{{4, 2, u"bar"}, {-7, 2, u"\uffe9t\uffe9"}}));
        EXPECT_EQ(Parse("list.txt", 5, mode), Entries{});
    }
    EXPECT_EQ(Parse("missing.txt", -1, kTextReaderWholeFile), Entries{});
    EXPECT_EQ(Parse("missing.txt", -1, 64), Entries{});
    EXPECT_EQ(Parse("list.txt", -1, 0), Entries{});
}

TEST_F(TextFilesTest, ListLinesLongerThanTheLineBuffer) {
    // The first field fills the rest of a 256-character line; the line's tail
    // comes back as the next line and holds an entry of its own.
    std::string field(255, 'f');
    std::string longName(300, 'n');
    Write("long.txt", "(" + field + "(t 1 2 tail)\n" + "(a 5 6 " + longName + "\n");
    Entries entries = Parse("long.txt", -1, 7);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], (Entry{1, 2, u"tail)"}));
    // The name is cut with its line: 256 characters less "(a 5 6 ".
    EXPECT_EQ(entries[1].name, std::u16string(249, u'n'));
    EXPECT_EQ(Parse("long.txt", -1, kTextReaderWholeFile), entries);
}
