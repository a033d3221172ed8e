// Arbitrary bytes as a ".zit" file through TextureLoadZit. Byte 0, which the
// loader does not read, picks the level bits (-1 to 9, so refused counts are
// tried too). A texture that loads must hold exactly its file's texels in its
// brightest level, and every level must lie inside its block.
#include "fuzz/fuzz_files.h"
#include "resource/texture.h"

#include <cstring>

namespace {

uint32_t Le16(const uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzFilesStart();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzFileWrite("in.zit", data, size);
    int levelBits = size > 0 ? data[0] % 11 - 1 : 0;

    Texture texture;
    TextureInit(&texture);
    int loaded = TextureLoadZit(&texture, "in.zit", levelBits);
    if (size < 16) {
        FuzzCheck(!loaded, "a file shorter than its header loaded");
    } else {
        uint32_t width = Le16(data + 8);
        uint32_t height = Le16(data + 10);
        uint64_t texels = uint64_t{width} * height;
        bool fits = size >= 16 + 2 * texels;
        FuzzCheck(!loaded || fits, "a file shorter than its texels loaded");
        FuzzCheck(!loaded || (levelBits >= 0 && levelBits <= 8), "refused level bits loaded");
        if (loaded) {
            FuzzCheck(texture.width == width && texture.height == height, "wrong size");
            FuzzCheck(texture.texelCount == texels, "wrong texel count");
            FuzzCheck(texture.levelCount == 1u << levelBits, "wrong level count");
            FuzzCheck(texture.texels == texture.texelBlock, "texels away from their block");
            const uint16_t* brightest = texture.texels + (texture.levelCount - 1) * texels;
            FuzzCheck(std::memcmp(brightest, data + 16, 2 * texels) == 0,
                      "the brightest level differs from the file");
            // Every level is read (one that ran past the block is caught) and
            // none is brighter than the image in any channel.
            for (uint32_t level = 0; level < texture.levelCount; ++level) {
                const uint16_t* block = texture.texels + level * texels;
                for (uint64_t k = 0; k < texels; ++k) {
                    uint32_t dark = block[k];
                    uint32_t full = brightest[k];
                    FuzzCheck((dark & 0xF800) <= (full & 0xF800) &&
                                  (dark & 0x07E0) <= (full & 0x07E0) &&
                                  (dark & 0x001F) <= (full & 0x001F),
                              "a shade level brighter than the image");
                }
            }
        }
    }
    TextureRelease(&texture);
    TextureDestroy(&texture);
    FuzzCheckNothingLeft();
    return 0;
}
