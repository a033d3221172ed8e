#include "device_fixture.h"

#include "resource/texture.h"
#include "resource/zit.h"

#include <numeric>

namespace {

// The shade formula written out plainly, texel by texel.
uint16_t ShadeModel(uint32_t v, uint32_t j, uint32_t n) {
    const uint32_t r = ((v >> 8) & 0xF8u) * j / n;
    const uint32_t g = ((v >> 3) & 0xFCu) * j / n;
    const uint32_t b = ((v & 0x1Fu) << 3) * j / n;
    return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}

} // namespace

using TextureTest = DeviceFolderTest;

TEST_F(TextureTest, ShadeLevelsScaleEveryChannel) {
    // White's levels 1, 8 and 16 of 16 hold the model to the known values.
    EXPECT_EQ(ShadeModel(0xFFFF, 1, 16), 0x0861);
    EXPECT_EQ(ShadeModel(0xFFFF, 8, 16), 0x7BEF);
    EXPECT_EQ(ShadeModel(0xFFFF, 16, 16), 0xFFFF);
    Texture t;
    TextureInit(&t);
    // Every RGB565 value, at 0, 4 and 8 level bits.
    std::vector<uint16_t> all(65536);
    std::iota(all.begin(), all.end(), 0);
    for (int bits : {0, 4, 8}) {
        const uint32_t n = 1u << bits;
        ASSERT_EQ(TextureCreate(&t, 256, 256, bits, all.data()), 1);
        EXPECT_EQ(t.levelCount, n);
        EXPECT_EQ(t.levelOffsetShift, 16 - bits);
        EXPECT_EQ(t.levelMask, (0xFF00 >> bits) & 0xFF);
        int wrong = 0;
        for (uint32_t j = 1; j <= n; ++j) {
            for (uint32_t v = 0; v < 65536; ++v)
                wrong += t.texels[(j - 1) * 65536 + v] != ShadeModel(v, j, n);
        }
        EXPECT_EQ(wrong, 0) << bits << " level bits";
        TextureDestroy(&t);
    }
}

TEST_F(TextureTest, WidthShiftCountsTrailingZeroBits) {
    const struct {
        int width;
        uint16_t shift, mask;
    } cases[] = {{64, 6, 63}, {240, 4, 15}, {0, 16, 0xFFFF}, {1, 0, 0}, {32768, 15, 0x7FFF}};
    for (const auto& c : cases) {
        Texture t;
        TextureInit(&t);
        ASSERT_EQ(TextureCreate(&t, c.width, 2, 0, nullptr), 1);
        EXPECT_EQ(t.widthShift, c.shift) << c.width;
        EXPECT_EQ(t.widthMask, c.mask) << c.width;
        EXPECT_EQ(t.texelCount, static_cast<uint32_t>(c.width) * 2);
        TextureRelease(&t);
        TextureRelease(&t); // twice is harmless
    }
}

// Free header bytes and bytes after the texels are ignored; a file short of
// its texels is refused; nothing leaks.
TEST_F(TextureTest, LoadsOnlyFilesHoldingAllTheirTexels) {
    std::string good = ZitBytes(4, 2, {1, 2, 3, 4, 5, 6, 7, 0xF800});
    for (int i : {0, 3, 7, 12, 15})
        good[i] = '\x5A';
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {{"good", good},
                 {"long", good + "extra bytes"},
                 {"truncated", good.substr(0, good.size() - 1)},
                 {"header", good.substr(0, 15)},
                 {"empty", ""},
                 {"claims", ZitBytes(65535, 65535, {1, 2, 3})},
                 {"no-texels", ZitBytes(0, 5, {})},
                 {"missing", ""}};
    const int32_t before = allocCount;
    for (const auto& file : files) {
        const std::string name = file.name + std::string(".zit");
        if (name != "missing.zit") WriteHostFile(name, file.bytes);
        lines_.Take();
        Texture t;
        TextureInit(&t);
        const bool loads = file.bytes.size() >= good.size();
        EXPECT_EQ(TextureLoadZit(&t, name.c_str(), 0), loads) << name;
        EXPECT_EQ(lines_.Has(u"ZitLoadError"), !loads);
        if (loads) {
            EXPECT_EQ(t.width, 4);
            EXPECT_EQ(t.height, 2);
            EXPECT_EQ(std::vector<uint16_t>(t.texels, t.texels + 8),
                      (std::vector<uint16_t>{1, 2, 3, 4, 5, 6, 7, 0xF800}));
            EXPECT_EQ(allocCount, before + 1); // the file's block is gone already
        }
        TextureRelease(&t);
        EXPECT_EQ(allocCount, before) << name;
    }
}

// A failed create keeps the texture's texel block (nothing else could free it).
TEST_F(TextureTest, FailedCreatesSayWhyAndKeepTheTexelsTheTextureHad) {
    const int32_t before = allocCount;
    Texture t;
    TextureInit(&t);
    const uint16_t texel = 0xF81F;
    ASSERT_EQ(TextureCreate(&t, 1, 1, 0, &texel), 1);
    void* const block = t.texelBlock;
    lines_.Take();
    // 16 x 65535 x 65535 x 2 bytes does not fit the allocator's 32-bit size.
    EXPECT_EQ(TextureCreate(&t, 65535, 65535, 4, nullptr), 0);
    Lines lines = lines_.Take();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind(u"AL Failed(not enough memory)", 0), 0u);
    EXPECT_EQ(lines[1], u"TextureCreateAllocError\r\n");
    EXPECT_EQ(t.texelBlock, block);
    EXPECT_EQ(t.width, 1); // no field changed
    // The loader's rule refuses 512 MiB (8 level bits) before asking memory.
    WriteHostFile("big.zit", ZitBytes(1024, 1024, std::vector<uint16_t>(1024 * 1024, 0xFFFF)));
    EXPECT_EQ(TextureLoadZit(&t, "big.zit", 8), 0);
    lines = lines_.Take();
    EXPECT_EQ(lines.back(), u"ZitLoadError\r\n");
    EXPECT_EQ(lines.size(), 2u); // the file's name and the refusal: no allocator message
    EXPECT_EQ(t.texelBlock, block);
    // Level bits beyond an 8-bit intensity, and sizes the fields cannot hold.
    EXPECT_EQ(TextureCreate(&t, 1, 1, 9, &texel), 0);
    EXPECT_EQ(TextureCreate(&t, 1, 1, -1, &texel), 0);
    EXPECT_EQ(TextureCreate(&t, 65536, 1, 0, nullptr), 0);
    EXPECT_EQ(TextureCreate(&t, 1, -1, 0, nullptr), 0);
    EXPECT_EQ(lines_.Take().size(), 4u);
    EXPECT_EQ(t.texelBlock, block);
    EXPECT_EQ(t.texels[0], 0xF81F);
    TextureRelease(&t);
    EXPECT_EQ(t.texelBlock, nullptr);
    EXPECT_EQ(allocCount, before);
}

// The loader's rule: header, texels, at least one, all levels in the memory.
TEST(ZitRule, RefusesWhatTheLoaderCannotUse) {
    const auto check = [](uint16_t width, uint16_t height, uint64_t size, int levelBits) {
        uint8_t bytes[kZitHeaderBytes];
        ZitWriteHeader(bytes, ZitHeader{width, height});
        ZitHeader header{};
        return ZitCheck(bytes, size, levelBits, &header);
    };
    const auto exact = [](uint16_t width, uint16_t height) {
        return ZitFileBytes(ZitHeader{width, height});
    };
    // 65535 x 252 texels is the most a picture of 65535 columns may have.
    ASSERT_EQ(ZitMaxTexels(0), 16515064u);
    const struct {
        uint16_t width, height;
        uint64_t size;
        int levelBits;
        ZitRefusal expected;
    } cases[] = {
        {64, 64, exact(64, 64), 4, ZitRefusal::none},
        {64, 64, 15, 0, ZitRefusal::noHeader},
        {64, 64, exact(64, 64) - 1, 0, ZitRefusal::shortTexels},
        {0, 5, 16, 0, ZitRefusal::noTexels},
        {5, 0, 100, 0, ZitRefusal::noTexels},
        {65535, 252, exact(65535, 252), 0, ZitRefusal::none},
        {65535, 253, exact(65535, 253), 0, ZitRefusal::tooLarge},
        {1024, 1024, exact(1024, 1024), 4, ZitRefusal::none},     // 34 MiB in all
        {2048, 1024, exact(2048, 1024), 4, ZitRefusal::tooLarge}, // 68 MiB
        {64, 64, 70u << 20, 0, ZitRefusal::tooLarge},             // a block too large
    };
    for (const auto& c : cases) {
        EXPECT_EQ(check(c.width, c.height, c.size, c.levelBits), c.expected)
            << c.width << " x " << c.height << ", " << c.size << " bytes";
    }
}

// A square of a power-of-two side with room for every shade level.
TEST_F(TextureTest, TrianglesNeedASquareWithRoomForItsLevels) {
    const struct {
        int width, height, levelBits;
        bool fits;
    } cases[] = {
        {1, 1, 4, false}, {2, 2, 4, false},   {4, 4, 4, true},    {64, 64, 4, true},
        {1, 1, 0, true},  {64, 32, 4, false}, {32, 64, 0, false}, {48, 48, 0, false},
        {0, 0, 0, false}, {8, 8, 8, false},   {16, 16, 8, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextureSizeFitsTriangles(c.width, c.height, c.levelBits), c.fits)
            << c.width << " x " << c.height << ", " << c.levelBits << " level bits";
        Texture t;
        TextureInit(&t);
        ASSERT_EQ(TextureCreate(&t, c.width, c.height, c.levelBits, nullptr), 1);
        EXPECT_EQ(TextureFitsTriangles(&t), c.fits)
            << c.width << " x " << c.height << ", " << c.levelBits << " level bits";
        TextureRelease(&t);
        EXPECT_FALSE(TextureFitsTriangles(&t)); // without texels
    }
}
