// A small printf for 16-bit wide strings: the C library offers none for
// char16_t. It writes into a fixed buffer and stops at its end, so a long
// argument can never run past the buffer.
#include "resource/debug.h"

#include <cstdint>

namespace {

// Widths and precisions larger than this are as good as endless for a
// bounded buffer; the cap keeps the parsing from overflowing.
constexpr int kMaxField = 1 << 20;

class WideWriter {
  public:
    WideWriter(char16_t* out, size_t capacity)
        : out_(out), room_(capacity == 0 ? 0 : capacity - 1) {}

    void Put(char16_t c) {
        if (written_ < room_) {
            out_[written_++] = c;
        } else {
            cut_ = true;
        }
    }
    void Repeat(char16_t c, int count) {
        for (; count > 0 && !cut_; --count)
            Put(c);
    }
    bool Full() const { return cut_; }

    size_t Finish(size_t capacity) {
        if (capacity == 0) return 0;
        // A line cut between the halves of a surrogate pair would end in half a
        // character; drop that half.
        if (cut_ && written_ > 0 && out_[written_ - 1] >= 0xD800 && out_[written_ - 1] <= 0xDBFF)
            --written_;
        out_[written_] = 0;
        return written_;
    }

  private:
    char16_t* out_;
    size_t room_;
    size_t written_ = 0;
    bool cut_ = false;
};

struct Conversion {
    bool left = false;  // '-': pad on the right
    bool zero = false;  // '0': pad numbers with zeros
    bool plus = false;  // '+': sign on positive numbers
    bool space = false; // ' ': a space in front of positive numbers
    int width = 0;
    int precision = -1; // -1: none given
};

// Writes a field's body between the padding the conversion asks for.
void PutField(WideWriter& w, const Conversion& conv, const char16_t* prefix, int prefixLength,
              int zeros, const char16_t* body, int bodyLength, bool zeroPad) {
    int padding = conv.width - prefixLength - zeros - bodyLength;
    if (zeroPad && !conv.left) {
        zeros += padding > 0 ? padding : 0;
        padding = 0;
    }
    if (!conv.left) w.Repeat(u' ', padding);
    for (int i = 0; i < prefixLength; ++i)
        w.Put(prefix[i]);
    w.Repeat(u'0', zeros);
    for (int i = 0; i < bodyLength && !w.Full(); ++i)
        w.Put(body[i]);
    if (conv.left) w.Repeat(u' ', padding);
}

void PutInteger(WideWriter& w, const Conversion& conv, uint32_t magnitude, bool negative,
                unsigned base, bool upper) {
    const char16_t* digitSet = upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
    char16_t digits[16];
    int count = 0;
    // C's rule: precision 0 prints no digits for the value 0.
    while (magnitude != 0) {
        digits[count++] = digitSet[magnitude % base];
        magnitude /= base;
    }
    if (count == 0 && conv.precision != 0) digits[count++] = u'0';
    char16_t body[16];
    for (int i = 0; i < count; ++i)
        body[i] = digits[count - 1 - i];

    char16_t sign = 0;
    if (negative) {
        sign = u'-';
    } else if (conv.plus) {
        sign = u'+';
    } else if (conv.space) {
        sign = u' ';
    }
    const int zeros = conv.precision > count ? conv.precision - count : 0;
    PutField(w, conv, &sign, sign != 0 ? 1 : 0, zeros, body, count,
             conv.zero && conv.precision < 0);
}

int ReadNumber(const char16_t*& p) {
    int value = 0;
    while (*p >= u'0' && *p <= u'9') {
        if (value < kMaxField) value = value * 10 + (*p - u'0');
        ++p;
    }
    return value < kMaxField ? value : kMaxField;
}

int Clamp(int value) {
    return value > kMaxField ? kMaxField : value;
}

} // namespace

size_t WideFormat(char16_t* out, size_t capacity, const char16_t* format, va_list args) {
    WideWriter w(out, capacity);
    if (format == nullptr) return w.Finish(capacity);
    va_list list;
    va_copy(list, args);
    const char16_t* p = format;
    while (*p != 0 && !w.Full()) {
        if (*p != u'%') {
            w.Put(*p++);
            continue;
        }
        const char16_t* start = p++;
        Conversion conv;
        for (;; ++p) {
            if (*p == u'-') {
                conv.left = true;
            } else if (*p == u'0') {
                conv.zero = true;
            } else if (*p == u'+') {
                conv.plus = true;
            } else if (*p == u' ') {
                conv.space = true;
            } else {
                break;
            }
        }
        if (*p == u'*') {
            const int width = va_arg(list, int);
            if (width < 0) {
                conv.left = true;
                conv.width = width == INT32_MIN ? kMaxField : Clamp(-width);
            } else {
                conv.width = Clamp(width);
            }
            ++p;
        } else {
            conv.width = ReadNumber(p);
        }
        if (*p == u'.') {
            ++p;
            if (*p == u'*') {
                const int precision = va_arg(list, int);
                conv.precision = precision < 0 ? -1 : Clamp(precision);
                ++p;
            } else {
                conv.precision = ReadNumber(p);
            }
        }
        // Every int is 32 bits here, so 'l' and 'h' change nothing.
        while (*p == u'l' || *p == u'h')
            ++p;

        switch (*p) {
        case u'd':
        case u'i': {
            const int value = va_arg(list, int);
            const uint32_t bits = static_cast<uint32_t>(value);
            PutInteger(w, conv, value < 0 ? 0u - bits : bits, value < 0, 10, false);
            break;
        }
        case u'u':
            PutInteger(w, conv, va_arg(list, unsigned), false, 10, false);
            break;
        case u'x':
        case u'X':
            PutInteger(w, conv, va_arg(list, unsigned), false, 16, *p == u'X');
            break;
        case u'c': {
            const char16_t c = static_cast<char16_t>(va_arg(list, int));
            PutField(w, conv, nullptr, 0, 0, &c, 1, false);
            break;
        }
        case u's': {
            const char16_t* text = va_arg(list, const char16_t*);
            if (text == nullptr) text = u"(null)";
            // Measure only as far as the precision allows: the string need
            // not be terminated within it.
            int length = 0;
            while ((conv.precision < 0 || length < conv.precision) && text[length] != 0 &&
                   length < kMaxField)
                ++length;
            PutField(w, conv, nullptr, 0, 0, text, length, false);
            break;
        }
        case u'%':
            w.Put(u'%');
            break;
        default:
            // An unknown conversion is shown as written; it takes no argument.
            for (const char16_t* q = start; q != p; ++q)
                w.Put(*q);
            if (*p == 0) continue;
            w.Put(*p);
            break;
        }
        ++p;
    }
    va_end(list);
    return w.Finish(capacity);
}
