// The tokenizer: separator-delimited tokens, quoted fields and numbers, each
// copied into a buffer of the caller's size.
#include "resource/debug.h"
#include "resource/text_reader.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

bool IsSeparator(uint8_t byte) {
    return (byte >= 1 && byte <= 32) || byte == ',';
}

// Bytes stay bytes; wide characters take each byte as signed 8-bit, as the
// file layer widens names.
char Widen(char byte, char*) {
    return byte;
}
char16_t Widen(char byte, char16_t*) {
    return static_cast<char16_t>(static_cast<int16_t>(static_cast<int8_t>(byte)));
}

// Copies text up to the first byte for which stop() holds, at most
// capacity - 1 of them, and terminates out. The rest of an overlong run is
// skipped. Returns the byte that stopped the run.
template <typename Char, typename Stop>
const char* CopyRun(Char* out, size_t capacity, const char* text, Stop stop) {
    const char* p = text;
    size_t length = 0;
    bool cut = false;
    for (; !stop(static_cast<uint8_t>(*p)); ++p) {
        if (length + 1 < capacity) {
            out[length++] = Widen(*p, out);
        } else {
            cut = true;
        }
    }
    if (capacity > 0) {
        out[length] = 0;
    }
    if (cut) {
        DebugPrint(u"TokenTooLong");
    }
    return p;
}

bool EndsToken(uint8_t byte) {
    return byte <= 32 || byte == ',';
}

// The token for a number, or an empty one when it would not fit the
// conversion buffer: a cut number would be a different number.
const char* NumberToken(char (&out)[kNumberTokenCharacters + 1], const char* text) {
    const char* start = TokenSkip(nullptr, text);
    const char* end = CopyRun(out, sizeof out, start, EndsToken);
    if (end - start > kNumberTokenCharacters) {
        out[0] = 0;
    }
    return end;
}

} // namespace

const char* TokenSkip(TextReader*, const char* text) {
    while (IsSeparator(static_cast<uint8_t>(*text))) {
        ++text;
    }
    return text;
}

const char* TokenGet(TextReader* reader, char* out, size_t capacity, const char* text) {
    return CopyRun(out, capacity, TokenSkip(reader, text), EndsToken);
}

const char* TokenGetWide(TextReader* reader, char16_t* out, size_t capacity, const char* text) {
    return CopyRun(out, capacity, TokenSkip(reader, text), EndsToken);
}

const char* TokenGetField(TextReader*, char* out, size_t capacity, const char* text) {
    const char* p;
    if (*text == '"') {
        p = CopyRun(out, capacity, text + 1, [](uint8_t byte) { return byte == 0 || byte == '"'; });
        if (*p == '"') {
            ++p;
        }
    } else {
        p = CopyRun(out, capacity, text, [](uint8_t byte) { return byte == 0 || byte == ','; });
    }
    if (*p == ',') {
        ++p;
    }
    return p;
}

const char* TokenGetInt(TextReader*, int32_t* place, const char* text) {
    char token[kNumberTokenCharacters + 1];
    const char* end = NumberToken(token, text);
    // long may be wider than 32 bits: saturate to the 32-bit range as the
    // conversion itself saturates to long's.
    long value = std::strtol(token, nullptr, 10);
    if (value > INT32_MAX) {
        value = INT32_MAX;
    } else if (value < INT32_MIN) {
        value = INT32_MIN;
    }
    *place = static_cast<int32_t>(value);
    return end;
}

const char* TokenGetFixed(TextReader*, Fixed* place, const char* text) {
    char token[kNumberTokenCharacters + 1];
    const char* end = NumberToken(token, text);
    double value = std::strtod(token, nullptr) * 65536.0;
    // Converting a double outside the 32-bit range is undefined: saturate,
    // and take a value that is no number as 0.
    Fixed result;
    if (std::isnan(value)) {
        result = 0;
    } else if (value >= 2147483648.0) {
        result = INT32_MAX;
    } else if (value <= -2147483649.0) {
        result = INT32_MIN;
    } else {
        result = static_cast<Fixed>(value);
    }
    *place = result;
    return end;
}
