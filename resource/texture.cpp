// Textures: the image and its darker copies, built once at load time so the
// span fillers pick a shade with one look-up instead of scaling per pixel.
#include "resource/texture.h"

#include "resource/debug.h"
#include "resource/file.h"
#include "resource/memory.h"
#include "resource/zit.h"

#include <cstdint>
#include <cstring>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "texels are read from .zit files as they lie in memory");

namespace {

constexpr int kMaxLevelBits = 8; // levels are chosen by an 8-bit intensity
constexpr int kMaxSide = 0xFFFF;

// One shade level's channel tables: the packed bits of each 5- or 6-bit
// source channel after expanding it to 8 bits and scaling it by j / n.
struct LevelTables {
    uint16_t red[32];
    uint16_t green[64];
    uint16_t blue[32];
};

void BuildLevelTables(LevelTables* tables, uint32_t j, uint32_t n) {
    for (uint32_t i = 0; i < 32; ++i) {
        const uint32_t r = (i << 3) * j / n;
        const uint32_t b = (i << 3) * j / n;
        tables->red[i] = static_cast<uint16_t>((r & 0xF8) << 8);
        tables->blue[i] = static_cast<uint16_t>(b >> 3);
    }
    for (uint32_t i = 0; i < 64; ++i) {
        const uint32_t g = (i << 2) * j / n;
        tables->green[i] = static_cast<uint16_t>((g & 0xFC) << 3);
    }
}

void FillLevels(uint16_t* out, const uint16_t* source, uint32_t texelCount, uint32_t levelCount) {
    LevelTables tables;
    for (uint32_t j = 1; j <= levelCount; ++j) {
        BuildLevelTables(&tables, j, levelCount);
        for (uint32_t k = 0; k < texelCount; ++k) {
            const uint32_t v = source[k];
            *out++ = static_cast<uint16_t>(tables.red[v >> 11] | tables.green[(v >> 5) & 0x3F] |
                                           tables.blue[v & 0x1F]);
        }
    }
}

// Every field but the texels, from the size and level bits. The level shift
// is kept to 16 bits as it is stored: for a texture narrower than its levels
// need it wraps, and such a texture fits no triangle.
void SetLayout(Texture* texture, int width, int height, int levelBits) {
    const uint32_t levelCount = 1u << levelBits;
    uint32_t shift = 0;
    for (uint32_t w = static_cast<uint32_t>(width); shift < 16 && (w & 1) == 0; w >>= 1)
        ++shift;
    texture->width = static_cast<uint16_t>(width);
    texture->height = static_cast<uint16_t>(height);
    texture->widthShift = static_cast<uint16_t>(shift);
    texture->widthMask = static_cast<uint16_t>((1u << shift) - 1);
    texture->texelCount = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    texture->levelCount = static_cast<uint16_t>(levelCount);
    texture->levelMask = static_cast<uint16_t>((levelCount - 1) << (8 - levelBits));
    texture->levelBits = static_cast<uint16_t>(levelBits);
    texture->levelOffsetShift = static_cast<uint16_t>(2 * shift - static_cast<uint32_t>(levelBits));
}

// Triangles take a texture as square, 1 << widthShift texels on a side, with
// a level block per shade level at (intensity & levelMask) << levelOffsetShift.
// Fields that do not promise that much texel memory fit no triangle.
bool LayoutFitsTriangles(const Texture& texture) {
    const unsigned shift = texture.widthShift;
    if (shift > 15 || texture.width != (1u << shift) || texture.height != texture.width) {
        return false;
    }
    if (texture.levelMask > 0xFF || texture.levelOffsetShift > 31) return false;
    const uint64_t block = uint64_t{1} << (2 * shift);
    const uint64_t lastLevel = uint64_t{texture.levelMask} << texture.levelOffsetShift;
    const uint64_t available = uint64_t{texture.texelCount} * texture.levelCount;
    return lastLevel + block <= available;
}

bool ValidSize(int width, int height, int levelBits) {
    return width >= 0 && width <= kMaxSide && height >= 0 && height <= kMaxSide && levelBits >= 0 &&
           levelBits <= kMaxLevelBits;
}

} // namespace

Texture* TextureInit(Texture* texture) {
    texture->texelBlock = nullptr;
    texture->texels = nullptr;
    return texture;
}

int TextureCreate(Texture* texture, int width, int height, int levelBits, const uint16_t* source) {
    // The fields are 16 bits wide and a level is picked from 8 intensity bits.
    if (!ValidSize(width, height, levelBits)) {
        DebugPrint(u"TextureCreateError w=%d h=%d bits=%d", width, height, levelBits);
        return 0;
    }
    const uint32_t levelCount = 1u << levelBits;
    // Up to 256 x 65535 x 65535 x 2 bytes: counted in 64 bits, and a size the
    // allocator's 32-bit request cannot carry is asked as one no heap can meet.
    const uint64_t bytes =
        uint64_t{levelCount} * static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 2u;
    const int32_t request = bytes > INT32_MAX ? -1 : static_cast<int32_t>(bytes);
    void* block = MemoryAlloc(request, 0, 4);
    // A failure keeps the texels a full texture had: dropping its block here
    // would leave nothing that could give it back.
    if (block == nullptr) {
        DebugPrint(u"TextureCreateAllocError");
        return 0;
    }
    texture->texelBlock = block;
    texture->texels = static_cast<uint16_t*>(block);
    SetLayout(texture, width, height, levelBits);
    if (source != nullptr) {
        FillLevels(texture->texels, source, texture->texelCount, texture->levelCount);
    }
    return 1;
}

int TextureLoadZit(Texture* texture, const char* name, int levelBits) {
    int32_t size = 0;
    auto* block = static_cast<const uint8_t*>(FileLoad(name, &size));
    if (block == nullptr) {
        DebugPrint(u"ZitLoadError");
        return 0;
    }
    // Only bytes that came from the file are read, and only a file the
    // loader's rule takes is made a texture (see ZitCheck).
    ZitHeader header;
    if (ZitCheck(block, static_cast<uint64_t>(size), levelBits, &header) != ZitRefusal::none) {
        DebugPrint(u"ZitLoadError");
        MemoryFree(const_cast<uint8_t*>(block));
        return 0;
    }
    const int result = TextureCreate(texture, header.width, header.height, levelBits,
                                     reinterpret_cast<const uint16_t*>(block + kZitHeaderBytes));
    MemoryFree(const_cast<uint8_t*>(block));
    return result;
}

void TextureRelease(Texture* texture) {
    if (texture->texelBlock == nullptr) return;
    MemoryFree(texture->texelBlock);
    texture->texelBlock = nullptr;
}

void TextureDestroy(Texture* texture) {
    TextureRelease(texture);
}

bool TextureFitsTriangles(const Texture* texture) {
    return texture != nullptr && texture->texelBlock != nullptr && texture->texels != nullptr &&
           LayoutFitsTriangles(*texture);
}

bool TextureSizeFitsTriangles(int width, int height, int levelBits) {
    if (!ValidSize(width, height, levelBits)) return false;
    Texture layout{};
    SetLayout(&layout, width, height, levelBits);
    return LayoutFitsTriangles(layout);
}
