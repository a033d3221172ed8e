#include "tools/zit_file.h"

#include "host/local_files.h"

#include <cstring>

namespace {

// Formats a file may plainly be instead: their signatures.
const char* FormatOf(const uint8_t* bytes, size_t count) {
    const struct {
        const char* signature;
        size_t length;
        const char* name;
    } formats[] = {
        {"\x89PNG\r\n\x1a\n", 8, "a PNG picture"},
        {"\xFF\xD8\xFF", 3, "a JPEG picture"},
        {"GIF8", 4, "a GIF picture"},
    };
    for (const auto& format : formats) {
        if (count >= format.length && std::memcmp(bytes, format.signature, format.length) == 0)
            return format.name;
    }
    return nullptr;
}

std::FILE* Open(const std::string& path, ZitFacts* facts, std::string* error) {
    *facts = ZitFacts{};
    std::FILE* file = host::OpenPlainFile(path, &facts->actualBytes, error);
    if (file == nullptr) return nullptr;
    uint8_t header[kZitHeaderBytes] = {};
    const size_t got = std::fread(header, 1, sizeof header, file);
    facts->hasHeader = ZitReadHeader(header, got, &facts->header);
    facts->expectedBytes = ZitFileBytes(facts->header);
    facts->format = FormatOf(header, got);
    return file;
}

} // namespace

bool ZitInspect(const std::string& path, ZitFacts* facts, std::string* error) {
    std::FILE* file = Open(path, facts, error);
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

std::FILE* ZitOpenTexels(const std::string& path, ZitFacts* facts, std::string* error) {
    std::FILE* file = Open(path, facts, error);
    if (file == nullptr) return nullptr;
    const ZitHeader& header = facts->header;
    const std::string size = std::to_string(header.width) + " x " + std::to_string(header.height);
    if (!facts->hasHeader) {
        *error = path + ": " + std::to_string(facts->actualBytes) +
                 " bytes, too short for the 16-byte header of a .zit file";
    } else if (facts->actualBytes < facts->expectedBytes) {
        *error = path + ": " + std::to_string(facts->actualBytes) + " bytes, but its " + size +
                 " texels need " + std::to_string(facts->expectedBytes);
    } else if (header.width == 0 || header.height == 0) {
        *error = path + ": " + size + " texels, no picture";
    } else {
        return file;
    }
    std::fclose(file);
    return nullptr;
}

bool WriteBytesFile(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string* error) {
    return host::WriteWholeFile(
        path,
        [&bytes](std::FILE* file, std::string*) {
            return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        },
        error);
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
    return WriteBytesFile(path, bytes, error);
}
