// Text data files read line by line, streamed through a buffer of fixed size
// or from the whole file loaded at once, and a small tokenizer over the lines.
//
// Separators are the bytes 1 to 32 and ','. Bytes above 127 are ordinary
// characters. Lines that are empty, hold only separators, or whose first other
// character is '#' or '/' are comments.
#pragma once
#include "math/fixed.h"
#include "resource/file.h"

#include <cstddef>
#include <cstdint>

// The reader begins with its File record (handle, size), so the file
// operations act on a reader directly.
struct TextReader : File {
    uint8_t* buffer;  // tracked block holding the data; null when closed
    uint8_t* cursor;  // next unread byte in buffer
    int32_t capacity; // streaming: size of buffer; whole file: the file's size
    int32_t filled;   // valid bytes in buffer
};

// The buffer size that asks TextReaderOpen for whole-file mode.
constexpr int32_t kTextReaderWholeFile = -1;

void TextReaderInit(TextReader* reader);
// bufferSize >= 0 streams the file through a buffer of that many bytes (a
// buffer of 0 bytes yields no lines); kTextReaderWholeFile loads it whole.
// Returns 1 opened, 0 failed. A streaming open whose file cannot be opened
// keeps its buffer: close or destroy the reader either way.
int TextReaderOpen(TextReader* reader, const char* name, int32_t bufferSize);
// 1 if unread data is in the buffer, 0 at the end of the data.
int TextReaderFill(TextReader* reader);
// Copies one line (carriage returns dropped) of at most limit characters into
// out, which has room for limit + 1 bytes, and terminates it. Returns its
// length, or -1 at the end of the data: a last line without a line feed is
// not delivered. A line cut at the limit delivers its rest on the next call.
int32_t TextReaderReadLine(TextReader* reader, char* out, int32_t limit);
// The next line that is not a comment: a pointer to its first content
// character inside out, or null at the end of the data (or when limit < 1,
// since no line could be delivered).
char* TextReaderNextLine(TextReader* reader, char* out, int32_t limit);
void TextReaderClose(TextReader* reader);
void TextReaderDestroy(TextReader* reader);

// Token operations take the reader for symmetry but depend on the text alone.
// Each returns the position to hand to the next one, so a line is consumed
// field by field. The output capacity counts the terminator; a token that does
// not fit is cut to capacity - 1 characters (one "TokenTooLong" line) and its
// remainder skipped, so the returned position is the same as for a fitting one.
const char* TokenSkip(TextReader* reader, const char* text);
// Skips separators, then copies up to the next separator or terminator;
// returns the byte that stopped the copy (not consumed).
const char* TokenGet(TextReader* reader, char* out, size_t capacity, const char* text);
// As TokenGet, each byte widened as a signed 8-bit value.
const char* TokenGetWide(TextReader* reader, char16_t* out, size_t capacity, const char* text);
// A double-quoted field up to its closing quote, or an unquoted one up to the
// next ','; a ',' that ends the field is consumed. Returns the position behind.
const char* TokenGetField(TextReader* reader, char* out, size_t capacity, const char* text);
// Decimal integer, saturated to 32 bits; text that is no number gives 0, and
// so does a token of more than kNumberTokenCharacters characters.
const char* TokenGetInt(TextReader* reader, int32_t* place, const char* text);
// Decimal number times 65536, truncated toward zero and saturated to 32 bits.
const char* TokenGetFixed(TextReader* reader, Fixed* place, const char* text);

// Numeric tokens are converted from a buffer of 80 bytes.
constexpr int kNumberTokenCharacters = 79;

// The same operations sized by the array they fill.
template <size_t N>
const char* TokenGet(TextReader* reader, char (&out)[N], const char* text) {
    return TokenGet(reader, out, N, text);
}
template <size_t N>
const char* TokenGetWide(TextReader* reader, char16_t (&out)[N], const char* text) {
    return TokenGetWide(reader, out, N, text);
}
template <size_t N>
const char* TokenGetField(TextReader* reader, char (&out)[N], const char* text) {
    return TokenGetField(reader, out, N, text);
}

// An entry line reads, after any leading text: '(' field, number, number,
// name; the name ends only at a separator, so a ')' right after it belongs to
// it. ListParse calls back for every entry with a name, and with a selector of
// 0 or more only for entries whose second number equals it. Always returns 0.
using ListEntryCallback = void (*)(int32_t first, int32_t second, const char16_t* name, void* user);
constexpr int32_t kListLineCharacters = 256;
int ListParse(const char* name, ListEntryCallback callback, void* user, int32_t selector,
              int32_t bufferSize);
