// Reading and writing whole ".zit" files for the tools, never past the bytes
// a file holds.
#pragma once
#include "resource/zit.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct ZitPicture {
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<uint16_t> texels; // RGB565, row by row from the top
};

// What a file holds, from its size and first bytes alone.
struct ZitFacts {
    uint64_t actualBytes = 0;
    bool hasHeader = false;
    ZitHeader header{};
    uint64_t expectedBytes = 0;   // 16 + 2 x width x height
    const char* format = nullptr; // "a PNG picture", ... when the first bytes tell another format
};

// A path that is not a regular file is refused unread (host::OpenPlainFile).
bool ZitInspect(const std::string& path, ZitFacts* facts, std::string* error);
// Opens a file whose texels can be read, at its first texel: a file without
// its whole header, short of its texels or with none is refused.
std::FILE* ZitOpenTexels(const std::string& path, ZitFacts* facts, std::string* error);
bool ZitSavePicture(const std::string& path, const ZitPicture& picture, std::string* error);
// Writes the bytes as a whole file through host::WriteWholeFile.
bool WriteBytesFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);
