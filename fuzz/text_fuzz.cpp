// Arbitrary bytes as a text file: read line by line in whole-file mode and
// streamed through small buffers (which must give the same lines), every line
// taken apart by the token operations into buffers of exactly the size they
// are given, and the file parsed as an entry list in both modes.
#include "fuzz/fuzz_files.h"
#include "resource/text_reader.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kName = "in.txt";

// Token outputs live in heap blocks of exactly their capacity, so a write past
// it is caught.
void TakeApart(const char* text, size_t seed) {
    TextReader reader;
    TextReaderInit(&reader);
    const char* end = text + std::strlen(text);
    const char* p = text;
    for (size_t step = seed; *p != 0; ++step) {
        size_t capacity = step % 9;
        std::vector<char> bytes(capacity);
        std::vector<char16_t> wide(capacity);
        const char* next = p;
        bool bytesOut = false;
        bool wideOut = false;
        switch (step % 6) {
        case 0:
            next = TokenGet(&reader, bytes.data(), capacity, p);
            bytesOut = true;
            break;
        case 1:
            next = TokenGetWide(&reader, wide.data(), capacity, p);
            wideOut = true;
            break;
        case 2:
            next = TokenGetField(&reader, bytes.data(), capacity, p);
            bytesOut = true;
            break;
        case 3: {
            int32_t value;
            next = TokenGetInt(&reader, &value, p);
            break;
        }
        case 4: {
            Fixed value;
            next = TokenGetFixed(&reader, &value, p);
            break;
        }
        default:
            next = TokenSkip(&reader, p);
            // Skipping stops at a character; step over it to go on.
            if (*next != 0 && next == p) ++next;
            break;
        }
        if (capacity > 0 && bytesOut) {
            FuzzCheck(std::memchr(bytes.data(), 0, capacity) != nullptr, "token not terminated");
        }
        if (capacity > 0 && wideOut) {
            bool terminated = false;
            for (char16_t c : wide)
                terminated = terminated || c == 0;
            FuzzCheck(terminated, "wide token not terminated");
        }
        FuzzCheck(next > p && next <= end, "a token operation made no progress or ran past");
        p = next;
    }
}

// Every line up to the end, as ReadLine gives it; each non-comment line from
// NextLine is taken apart as well.
std::vector<std::string> Lines(int32_t bufferSize, int32_t limit, bool next) {
    std::vector<std::string> lines;
    TextReader reader;
    TextReaderInit(&reader);
    if (!TextReaderOpen(&reader, kName, bufferSize)) {
        FuzzCheck(false, "an existing file did not open");
    }
    std::vector<char> out(static_cast<size_t>(limit) + 1);
    FuzzCheck(TextReaderReadLine(&reader, out.data(), 0) == 0 && out[0] == 0,
              "a limit of 0 gave more than an empty line");
    for (;;) {
        if (next) {
            char* content = TextReaderNextLine(&reader, out.data(), limit);
            if (!content) break;
            FuzzCheck(content >= out.data() && content < out.data() + limit + 1,
                      "a line's content is outside the line");
            lines.emplace_back(content);
            TakeApart(content, lines.size());
        } else {
            int32_t length = TextReaderReadLine(&reader, out.data(), limit);
            if (length < 0) break;
            FuzzCheck(length <= limit, "a line longer than its limit");
            lines.emplace_back(out.data(), static_cast<size_t>(length));
        }
    }
    TextReaderClose(&reader);
    TextReaderDestroy(&reader);
    return lines;
}

void CheckEntry(int32_t, int32_t second, const char16_t* name, void* user) {
    int32_t selector = *static_cast<int32_t*>(user);
    FuzzCheck(name[0] != 0, "an entry without a name");
    FuzzCheck(selector < 0 || second == selector, "an entry the selector should have left out");
    size_t length = 0;
    while (name[length] != 0)
        ++length;
    FuzzCheck(length < 256, "an entry name longer than its buffer");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzFilesStart();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzFileWrite(kName, data, size);
    // The input's length picks the line limit and one streaming buffer size,
    // so every input is read the same way each time it runs.
    int32_t limit = size % 3 == 0 ? 256 : 1 + static_cast<int32_t>(size % 37);
    int32_t streamSize = 1 + static_cast<int32_t>(size % 61);
    for (bool next : {false, true}) {
        std::vector<std::string> whole = Lines(kTextReaderWholeFile, limit, next);
        FuzzCheck(Lines(1, limit, next) == whole, "a 1-byte buffer read other lines");
        FuzzCheck(Lines(7, limit, next) == whole, "a 7-byte buffer read other lines");
        FuzzCheck(Lines(streamSize, limit, next) == whole, "a small buffer read other lines");
    }

    for (int32_t selector : {-1, 2}) {
        ListParse(kName, CheckEntry, &selector, selector, kTextReaderWholeFile);
        ListParse(kName, CheckEntry, &selector, selector, streamSize);
    }

    // The whole input as one text: tokens longer than any line buffer.
    std::string text(reinterpret_cast<const char*>(data), size);
    TakeApart(text.c_str(), size);

    FuzzCheckNothingLeft();
    return 0;
}
