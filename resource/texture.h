// Textures: RGB565 images in shade levels, darkest first, loaded from the
// engine's own ".zit" files.
#pragma once
#include <cstdint>

struct Texture {
    uint16_t width;
    uint16_t height;
    uint16_t widthShift;       // trailing zero bits of width, at most 16
    uint16_t widthMask;        // (1 << widthShift) - 1
    uint16_t levelOffsetShift; // 2 * widthShift - levelBits
    uint16_t levelMask;        // selects the level bits of an 8-bit intensity
    uint16_t levelBits;
    uint16_t levelCount;
    void* texelBlock; // the tracked block; owned; null when empty
    uint32_t texelCount;
    uint16_t* texels;
};

Texture* TextureInit(Texture* texture);
// 1 created, 0 failed; a failure changes no field. A full texture's texels
// are not freed by a new create: release first.
int TextureCreate(Texture* texture, int width, int height, int levelBits, const uint16_t* source);
int TextureLoadZit(Texture* texture, const char* name, int levelBits);
void TextureRelease(Texture* texture);
void TextureDestroy(Texture* texture);
