// An OBJ file's statements into arrays: two passes through the text reader,
// the first counting, the second filling arrays of exactly that size. Both
// run every check, so the first failure in the file is the one reported, and
// a file that changes between the passes cannot write past the arrays.
#include "resource/debug.h"
#include "resource/memory.h"
#include "resource/obj_parts.h"
#include "resource/text_reader.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t kReadBuffer = 16384;
// One character more than a line may hold: a line that fills the buffer is
// too long.
constexpr int32_t kLineBuffer = kObjLineCharacters + 1;
// An index of more digits than this is out of range whatever the counts.
constexpr size_t kIndexDigits = 10;
// Tokens quoted in a message are cut to this many characters.
#define KQ3D_QUOTED "\"%.40s\""

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// [+-] digits [. digits] [e [+-] digits], with a digit on at least one side
// of the point: what the decimal parser reads whole, and nothing it would
// read only in part (hexadecimal, "inf", "nan").
bool IsDecimal(const char* p) {
    if (*p == '+' || *p == '-') ++p;
    int digits = 0;
    for (; IsDigit(*p); ++p)
        ++digits;
    if (*p == '.') {
        for (++p; IsDigit(*p); ++p)
            ++digits;
    }
    if (digits == 0) return false;
    if (*p == 'e' || *p == 'E') {
        ++p;
        if (*p == '+' || *p == '-') ++p;
        if (!IsDigit(*p)) return false;
        while (IsDigit(*p))
            ++p;
    }
    return *p == 0;
}

struct Counts {
    int32_t positions = 0;
    int32_t textures = 0;
    int32_t normals = 0;
    int32_t triangles = 0;
};

bool operator==(const Counts& a, const Counts& b) {
    return a.positions == b.positions && a.textures == b.textures && a.normals == b.normals &&
           a.triangles == b.triangles;
}

// The three statements that give elements: their keyword, what is said when
// numbers are missing, how many numbers they need and take, where they are counted and stored.
struct ElementKind {
    const char* keyword;
    const char* needs; // what a statement missing numbers lacks
    int needed;
    int taken;
    int32_t Counts::*count;
    int32_t ObjData::*capacity;
    void (*store)(ObjData* data, int32_t at, const Fixed* values);
};

const ElementKind kElementKinds[] = {
    {"v", "a vertex needs three numbers", 3, 3, &Counts::positions, &ObjData::positionCount,
     [](ObjData* data, int32_t at, const Fixed* values) {
         data->positions[at] = {values[0], values[1], values[2]};
     }},
    {"vt", "a texture coordinate needs a number", 1, 2, &Counts::textures, &ObjData::textureCount,
     [](ObjData* data, int32_t at, const Fixed* values) {
         data->textures[at] = {values[0], values[1]};
     }},
    {"vn", "a normal needs three numbers", 3, 3, &Counts::normals, &ObjData::normalCount,
     [](ObjData* data, int32_t at, const Fixed* values) {
         data->normals[at] = {values[0], values[1], values[2]};
     }},
};

// One pass over the file. With data null it counts; otherwise it fills the
// arrays of *data, sized by the first pass's counts.
class Pass {
  public:
    Pass(const char* name, ObjData* data) : name_(name), data_(data) {}

    int Run() {
        TextReaderInit(&reader_);
        int ok = 0;
        if (!TextReaderOpen(&reader_, name_, kReadBuffer)) {
            ObjFail(name_, 0, "no such file, or it cannot be read");
        } else {
            ok = Lines();
        }
        TextReaderClose(&reader_);
        TextReaderDestroy(&reader_);
        return ok;
    }

    const Counts& counts() const { return counts_; }
    bool everyCornerTextured() const { return everyCornerTextured_; }
    bool everyCornerNormal() const { return everyCornerNormal_; }

  private:
    int Lines() {
        for (line_ = 1;; ++line_) {
            const int32_t length = TextReaderReadLine(&reader_, text_, kLineBuffer);
            // The end of the data: a last line without a line feed is still a
            // line of the model.
            if (length < 0) return text_[0] == 0 || Statement() ? 1 : 0;
            if (length > kObjLineCharacters)
                return Fail("longer than %d characters", kObjLineCharacters);
            if (!Statement()) return 0;
        }
    }

    bool Statement() {
        const char* p = TokenSkip(&reader_, text_);
        if (*p == 0 || *p == '#') return true;
        p = TokenGet(&reader_, token_, sizeof token_, p);
        const bool face = std::strcmp(token_, "f") == 0;
        const ElementKind* kind = nullptr;
        for (const ElementKind& k : kElementKinds) {
            if (std::strcmp(token_, k.keyword) == 0) kind = &k;
        }
        if (!face && kind == nullptr) return true; // o, g, s, usemtl, mtllib, l, ...
        // The tokenizer separates at commas too; a number written with a
        // decimal comma would silently become two. A comment may hold any.
        if (p[std::strcspn(p, ",#")] == ',')
            return Fail("a comma: OBJ separates with spaces and writes decimals with a point");
        return face ? Face(p) : Element(p, *kind);
    }

    // A v, vt or vn statement: `needed` numbers, then up to `taken` in all;
    // what follows them is not read (a vertex's w, or colours).
    bool Element(const char* p, const ElementKind& kind) {
        int32_t& count = counts_.*kind.count;
        if (count >= kObjMaxElements)
            return Fail("more than %d %s statements", kObjMaxElements, kind.keyword);
        Fixed values[3] = {0, 0, 0};
        for (int k = 0; k < kind.taken; ++k) {
            p = TokenGet(&reader_, token_, sizeof token_, p);
            if (token_[0] == 0 || token_[0] == '#') {
                if (k < kind.needed) return Fail("%s", kind.needs);
                break;
            }
            if (!Number(&values[k])) return false;
        }
        if (data_ != nullptr) {
            if (count >= data_->*kind.capacity) return Changed();
            kind.store(data_, count, values);
        }
        ++count;
        return true;
    }

    bool Number(Fixed* value) {
        if (std::strlen(token_) > kNumberTokenCharacters || !IsDecimal(token_))
            return Fail(KQ3D_QUOTED " is not a number", token_);
        TokenGetFixed(&reader_, value, token_);
        // The conversion saturates: a value at either end did not fit.
        if (*value == INT32_MAX || *value == INT32_MIN)
            return Fail(KQ3D_QUOTED " lies outside -32767 to 32767", token_);
        return true;
    }

    // The corners make a fan from the first: (0, 1, 2), (0, 2, 3), ...
    bool Face(const char* p) {
        ObjCorner first{}, previous{}, corner{};
        int32_t corners = 0;
        for (;;) {
            p = TokenGet(&reader_, token_, sizeof token_, p);
            if (token_[0] == 0 || token_[0] == '#') break;
            if (!Corner(&corner)) return false;
            everyCornerTextured_ = everyCornerTextured_ && corner.texture >= 0;
            everyCornerNormal_ = everyCornerNormal_ && corner.normal >= 0;
            if (++corners == 1) first = corner;
            if (corners >= 3 && !Triangle(first, previous, corner)) return false;
            previous = corner;
        }
        if (corners < 3) return Fail("a face needs three corners or more, not %d", corners);
        return true;
    }

    bool Triangle(const ObjCorner& a, const ObjCorner& b, const ObjCorner& c) {
        if (counts_.triangles >= kObjMaxTriangles)
            return Fail("more than %d triangles", kObjMaxTriangles);
        if (data_ != nullptr) {
            if (counts_.triangles >= data_->triangleCount) return Changed();
            ObjCorner* out = data_->corners + 3 * counts_.triangles;
            out[0] = a;
            out[1] = b;
            out[2] = c;
        }
        ++counts_.triangles;
        return true;
    }

    // "i", "i/t", "i//n" or "i/t/n" in token_.
    bool Corner(ObjCorner* corner) {
        const char* parts[3] = {token_, nullptr, nullptr};
        size_t lengths[3] = {0, 0, 0};
        int slashes = 0;
        for (const char* p = token_;; ++p) {
            if (*p == '/' || *p == 0) {
                lengths[slashes] = static_cast<size_t>(p - parts[slashes]);
                if (*p == 0) break;
                if (++slashes > 2) return NotACorner();
                parts[slashes] = p + 1;
            }
        }
        // The position always; a texture coordinate unless "i//n"; the
        // normal where a second slash asks for one.
        if (lengths[0] == 0 || (slashes == 1 && lengths[1] == 0) ||
            (slashes == 2 && lengths[2] == 0))
            return NotACorner();
        corner->texture = -1;
        corner->normal = -1;
        return Index(parts[0], lengths[0], counts_.positions, "vertex", &corner->position) &&
               (lengths[1] == 0 || Index(parts[1], lengths[1], counts_.textures,
                                         "texture coordinate", &corner->texture)) &&
               (lengths[2] == 0 ||
                Index(parts[2], lengths[2], counts_.normals, "normal", &corner->normal));
    }

    bool NotACorner() { return Fail(KQ3D_QUOTED " is not a face corner", token_); }

    // A 1-based index among the `count` elements given so far, or a negative
    // one counting back from the last; *out becomes 0-based.
    bool Index(const char* text, size_t length, int32_t count, const char* what, int32_t* out) {
        char digits[kIndexDigits + 3];
        const size_t sign = (text[0] == '-' || text[0] == '+') ? 1 : 0;
        if (length == sign) return NotACorner();
        for (size_t k = sign; k < length; ++k) {
            if (!IsDigit(text[k])) return NotACorner();
        }
        const int shown = static_cast<int>(length);
        if (length - sign > kIndexDigits)
            return Fail("face names %s %.*s of %d", what, shown, text, count);
        std::memcpy(digits, text, length);
        digits[length] = 0;
        int32_t value = 0;
        TokenGetInt(&reader_, &value, digits);
        if (value == 0) return Fail("face names %s 0; OBJ counts from 1", what);
        if ((value > 0 && value > count) || (value < 0 && -static_cast<int64_t>(value) > count))
            return Fail("face names %s %.*s of %d", what, shown, text, count);
        *out = value > 0 ? value - 1 : count + value;
        return true;
    }

    bool Changed() {
        ObjFail(name_, 0, "the file changed while it was read");
        return false;
    }

    bool Fail(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char what[256];
        va_list args;
        va_start(args, format);
        std::vsnprintf(what, sizeof what, format, args);
        va_end(args);
        ObjFail(name_, line_, "%s", what);
        return false;
    }

    const char* name_;
    ObjData* data_;
    TextReader reader_;
    Counts counts_;
    bool everyCornerTextured_ = true;
    bool everyCornerNormal_ = true;
    int32_t line_ = 0;
    char text_[kLineBuffer + 1];
    char token_[kLineBuffer + 1]; // holds any token of a line whole
};

} // namespace

void ObjFail(const char* name, int32_t line, const char* format, ...) {
    char what[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(what, sizeof what, format, args);
    va_end(args);
    char message[400];
    if (line > 0) {
        std::snprintf(message, sizeof message, "%s:%d: %s", name, line, what);
    } else {
        std::snprintf(message, sizeof message, "%s: %s", name, what);
    }
    // Widened as the file layer widens names.
    char16_t wide[sizeof message];
    size_t k = 0;
    for (; message[k] != 0; ++k)
        wide[k] = static_cast<char16_t>(static_cast<int16_t>(static_cast<int8_t>(message[k])));
    wide[k] = 0;
    DebugPrint(u"%s", wide);
}

void* ObjAllocate(int64_t count, int64_t recordBytes) {
    if (count <= 0 || recordBytes <= 0 || count > (INT32_MAX - 64) / recordBytes) return nullptr;
    return MemoryAlloc(static_cast<int32_t>(count * recordBytes), 0, 4);
}

void ObjDataRelease(ObjData* data) {
    void* blocks[] = {data->positions, data->textures, data->normals, data->corners};
    for (void* block : blocks) {
        if (block != nullptr) MemoryFree(block);
    }
    *data = ObjData{};
}

int ObjRead(ObjData* data, const char* name) {
    *data = ObjData{};
    Pass counting(name, nullptr);
    if (!counting.Run()) return 0;
    const Counts& counts = counting.counts();
    if (counts.triangles == 0) {
        ObjFail(name, 0, "no faces: the model is empty");
        return 0;
    }
    data->positions = ObjArray<Vector3>(counts.positions);
    data->textures = ObjArray<ObjTexture>(counts.textures);
    data->normals = ObjArray<Vector3>(counts.normals);
    data->corners = ObjArray<ObjCorner>(3 * int64_t{counts.triangles});
    if (data->positions == nullptr || (counts.textures > 0 && data->textures == nullptr) ||
        (counts.normals > 0 && data->normals == nullptr) || data->corners == nullptr) {
        ObjDataRelease(data);
        ObjFail(name, 0, "no memory for its %d triangles", counts.triangles);
        return 0;
    }
    data->positionCount = counts.positions;
    data->textureCount = counts.textures;
    data->normalCount = counts.normals;
    data->triangleCount = counts.triangles;

    Pass filling(name, data);
    const bool read = filling.Run() != 0;
    const bool same = filling.counts() == counts;
    if (read && !same) ObjFail(name, 0, "the file changed while it was read");
    if (!read || !same) {
        ObjDataRelease(data);
        return 0;
    }
    data->everyCornerTextured = filling.everyCornerTextured();
    data->everyCornerNormal = filling.everyCornerNormal();
    return 1;
}
