// The line reader: a streaming buffer refilled from the file, or the whole
// file in one tracked block.
#include "resource/text_reader.h"

#include "resource/debug.h"
#include "resource/memory.h"

void TextReaderInit(TextReader* reader) {
    reader->handle = 0;
    reader->size = 0;
    reader->buffer = nullptr;
    reader->cursor = nullptr;
    reader->capacity = 0;
    reader->filled = 0;
}

int TextReaderOpen(TextReader* reader, const char* name, int32_t bufferSize) {
    if (bufferSize == kTextReaderWholeFile) {
        reader->handle = 0;
        int32_t size = 0;
        reader->buffer = static_cast<uint8_t*>(FileLoad(name, &size));
        reader->cursor = reader->buffer;
        reader->capacity = size;
        reader->filled = reader->buffer && size > 0 ? size : 0;
        return reader->buffer ? 1 : 0;
    }
    // A negative size other than whole-file mode is a mistake, not a request.
    // A size of 0 opens the file, and the reader then yields no lines.
    if (bufferSize < 0) {
        DebugPrint(u"TextReaderSizeError");
        return 0;
    }
    reader->capacity = bufferSize;
    reader->buffer = static_cast<uint8_t*>(MemoryAlloc(bufferSize, 0, 4));
    reader->cursor = reader->buffer;
    reader->filled = 0;
    // Without a buffer there is nothing to read into: fail before the file is
    // even opened.
    if (!reader->buffer) {
        DebugPrint(u"TextReaderAllocError");
        return 0;
    }
    // A failed open keeps the buffer (and the invalid handle) for
    // TextReaderClose or TextReaderDestroy to give back.
    return FileOpen(reader, name);
}

int TextReaderFill(TextReader* reader) {
    if (reader->cursor < reader->buffer + reader->filled) {
        return 1;
    }
    if (reader->handle == 0 || !reader->buffer) {
        return 0;
    }
    reader->cursor = reader->buffer;
    int32_t count = FileRead(reader, reader->buffer, reader->capacity);
    // A failed read looks like the end of the data.
    reader->filled = count > 0 ? count : 0;
    return reader->filled != 0 ? 1 : 0;
}

int32_t TextReaderReadLine(TextReader* reader, char* out, int32_t limit) {
    int32_t length = 0;
    while (length < limit) {
        if (!TextReaderFill(reader)) {
            // The partial line is not delivered, but the caller's buffer still
            // holds a terminated string.
            out[length] = 0;
            return -1;
        }
        uint8_t byte = *reader->cursor++;
        if (byte == '\r') {
            continue;
        }
        if (byte == '\n') {
            break;
        }
        out[length++] = static_cast<char>(byte);
    }
    out[length] = 0;
    return length;
}

char* TextReaderNextLine(TextReader* reader, char* out, int32_t limit) {
    // Every line read with no room would look empty and be skipped forever.
    if (limit < 1) {
        return nullptr;
    }
    for (;;) {
        if (TextReaderReadLine(reader, out, limit) < 0) {
            return nullptr;
        }
        char* content = const_cast<char*>(TokenSkip(reader, out));
        if (*content != 0 && *content != '#' && *content != '/') {
            return content;
        }
    }
}

void TextReaderClose(TextReader* reader) {
    FileClose(reader);
    if (reader->buffer) {
        MemoryFree(reader->buffer);
    }
    reader->buffer = nullptr;
    reader->cursor = nullptr;
    reader->filled = 0;
}

void TextReaderDestroy(TextReader* reader) {
    TextReaderClose(reader);
    FileClose(reader);
}
