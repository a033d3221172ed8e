// Reading and writing whole ".zit" files for the tools, never past the bytes
// a file holds.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ZitPicture {
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<uint16_t> texels; // RGB565, row by row from the top
};

// What a file holds, from its size and header alone.
struct ZitFacts {
    uint64_t actualBytes = 0;
    bool hasHeader = false;
    uint16_t width = 0;
    uint16_t height = 0;
    uint64_t expectedBytes = 0; // 16 + 2 x width x height
};

bool ZitInspect(const std::string& path, ZitFacts* facts, std::string* error);
// Refuses a file shorter than its header promises; bytes after the texels are
// ignored, as the engine ignores them.
bool ZitLoadPicture(const std::string& path, ZitPicture* picture, std::string* error);
bool ZitSavePicture(const std::string& path, const ZitPicture& picture, std::string* error);
