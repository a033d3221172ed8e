// Entry lists: text files whose entry lines read '(' field, number, number,
// name, handed one by one to a callback.
#include "resource/text_reader.h"

#include <cstring>

int ListParse(const char* name, ListEntryCallback callback, void* user, int32_t selector,
              int32_t bufferSize) {
    TextReader reader;
    TextReaderInit(&reader);
    if (!TextReaderOpen(&reader, name, bufferSize)) {
        TextReaderDestroy(&reader);
        return 0;
    }
    char line[kListLineCharacters + 1];
    char field[256];
    char16_t entryName[256];
    while (const char* content = TextReaderNextLine(&reader, line, kListLineCharacters)) {
        const char* p = std::strchr(content, '(');
        if (!p) {
            continue;
        }
        int32_t first = 0;
        int32_t second = 0;
        p = TokenGet(&reader, field, p + 1); // the entry's first field is not passed on
        p = TokenGetInt(&reader, &first, p);
        p = TokenGetInt(&reader, &second, p);
        if (selector >= 0 && second != selector) {
            continue;
        }
        TokenGetWide(&reader, entryName, p);
        if (entryName[0] != 0) {
            callback(first, second, entryName, user);
        }
    }
    TextReaderClose(&reader);
    TextReaderDestroy(&reader);
    return 0;
}
