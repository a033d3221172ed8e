#include "tools/zit_file.h"

#include "resource/zit.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Pictures far larger than the device can load are not read into memory.
constexpr size_t kMaxTexels = size_t{1} << 28;

std::string Reason() {
    return std::strerror(errno);
}

// The size of an open file, found by seeking to its end.
bool SizeOf(std::FILE* file, uint64_t* size) {
    if (fseeko(file, 0, SEEK_END) != 0) return false;
    const off_t end = ftello(file);
    if (end < 0 || fseeko(file, 0, SEEK_SET) != 0) return false;
    *size = static_cast<uint64_t>(end);
    return true;
}

bool Inspect(std::FILE* file, const std::string& path, ZitFacts* facts, std::string* error) {
    *facts = ZitFacts{};
    if (!SizeOf(file, &facts->actualBytes)) {
        *error = path + ": cannot read: " + Reason();
        return false;
    }
    uint8_t header[kZitHeaderBytes] = {};
    const size_t got = std::fread(header, 1, sizeof header, file);
    ZitHeader fields{};
    facts->hasHeader = ZitReadHeader(header, got, &fields);
    facts->width = fields.width;
    facts->height = fields.height;
    facts->expectedBytes = ZitFileBytes(fields);
    return true;
}

} // namespace

bool ZitInspect(const std::string& path, ZitFacts* facts, std::string* error) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        *error = path + ": cannot open: " + Reason();
        return false;
    }
    return Inspect(file.get(), path, facts, error);
}

bool ZitLoadPicture(const std::string& path, ZitPicture* picture, std::string* error) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        *error = path + ": cannot open: " + Reason();
        return false;
    }
    ZitFacts facts;
    if (!Inspect(file.get(), path, &facts, error)) return false;
    if (!facts.hasHeader) {
        *error = path + ": " + std::to_string(facts.actualBytes) +
                 " bytes, too short for the 16-byte header of a .zit file";
        return false;
    }
    if (facts.actualBytes < facts.expectedBytes) {
        *error = path + ": " + std::to_string(facts.actualBytes) + " bytes, but its " +
                 std::to_string(facts.width) + " x " + std::to_string(facts.height) +
                 " texels need " + std::to_string(facts.expectedBytes);
        return false;
    }
    const size_t count = size_t{facts.width} * facts.height;
    if (count > kMaxTexels) {
        *error = path + ": " + std::to_string(facts.width) + " x " + std::to_string(facts.height) +
                 " texels, too many for this tool (at most " + std::to_string(kMaxTexels) + ")";
        return false;
    }
    std::vector<uint8_t> bytes(count * 2);
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        *error = path + ": cannot read its texels";
        return false;
    }
    picture->width = facts.width;
    picture->height = facts.height;
    picture->texels.resize(count);
    for (size_t i = 0; i < count; ++i) {
        picture->texels[i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return true;
}

bool ZitSavePicture(const std::string& path, const ZitPicture& picture, std::string* error) {
    const size_t count = size_t{picture.width} * picture.height;
    if (picture.texels.size() != count) {
        *error = path + ": the picture's texels do not match its size";
        return false;
    }
    std::vector<uint8_t> bytes(kZitHeaderBytes + count * 2);
    ZitWriteHeader(bytes.data(), ZitHeader{picture.width, picture.height});
    for (size_t i = 0; i < count; ++i) {
        bytes[kZitHeaderBytes + 2 * i] = static_cast<uint8_t>(picture.texels[i]);
        bytes[kZitHeaderBytes + 2 * i + 1] = static_cast<uint8_t>(picture.texels[i] >> 8);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = path + ": cannot create: " + Reason();
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        *error = path + ": cannot write: " + Reason();
        std::remove(path.c_str()); // no half-written texture is left behind
        return false;
    }
    return true;
}
