#include "tools/rgb_image.h"
#include "tools/zit_file.h"
#include "tools/zit_tool.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class ZitTool : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "kq3d-zit-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "kq3d-zit");
        std::vector<const char*> argv;
        for (const auto& a : args)
            argv.push_back(a.c_str());
        std::ostringstream out, err;
        const int status = ZitToolMain(static_cast<int>(argv.size()), argv.data(), out, err);
        out_ = out.str();
        err_ = err.str();
        return status;
    }

    void WriteBytes(const std::string& name, const std::string& bytes) {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string ReadBytes(const std::string& name) {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // A PNG of any layout, rows given as raw bytes in that layout.
    void WritePng(const std::string& name, uint32_t width, uint32_t height, int colorType,
                  int bitDepth, const std::vector<uint8_t>& pixels,
                  const std::vector<png_color>& palette = {}) {
        std::FILE* f = std::fopen(Path(name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, f);
        png_set_IHDR(png, info, width, height, bitDepth, colorType, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (!palette.empty()) {
            png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
        }
        png_write_info(png, info);
        const size_t rowBytes = pixels.size() / height;
        for (uint32_t y = 0; y < height; ++y)
            png_write_row(png, &pixels[y * rowBytes]);
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
    }

    std::filesystem::path dir_;
    std::string out_, err_;
};

} // namespace

TEST_F(ZitTool, RoundTripsAPictureWithinRgb565Precision) {
    RgbImage picture;
    picture.width = 37;
    picture.height = 23;
    for (uint32_t i = 0; i < picture.width * picture.height * 3; ++i) {
        picture.rgb.push_back(static_cast<uint8_t>((i * 97 + i / 7 * 13) & 0xFF));
    }
    std::string error;
    ASSERT_TRUE(PngWrite(Path("in.png"), picture, &error)) << error;
    ASSERT_EQ(Run({"encode", Path("in.png"), Path("a.zit")}), 0) << err_;
    const std::string zit = ReadBytes("a.zit");
    ASSERT_EQ(zit.size(), 16u + 2 * 37 * 23);
    EXPECT_EQ(zit.substr(0, 8), std::string(8, '\0'));
    EXPECT_EQ(zit.substr(8, 4), std::string("\x25\x00\x17\x00", 4));
    EXPECT_EQ(zit.substr(12, 4), std::string(4, '\0'));

    ASSERT_EQ(Run({"decode", Path("a.zit"), Path("out.png")}), 0) << err_;
    RgbImage back;
    ASSERT_TRUE(PngRead(Path("out.png"), &back, &error)) << error;
    ASSERT_EQ(back.width, picture.width);
    ASSERT_EQ(back.height, picture.height);
    int worst[3] = {};
    for (size_t i = 0; i < back.rgb.size(); ++i) {
        worst[i % 3] = std::max(worst[i % 3], std::abs(back.rgb[i] - picture.rgb[i]));
    }
    EXPECT_LE(worst[0], 4);
    EXPECT_LE(worst[1], 2);
    EXPECT_LE(worst[2], 4);

    // Texels survive a trip out to PNG and back unchanged.
    ASSERT_EQ(Run({"encode", Path("out.png"), Path("b.zit")}), 0) << err_;
    EXPECT_EQ(ReadBytes("b.zit"), zit);
    EXPECT_EQ(Run({"info", Path("b.zit")}), 0);
    EXPECT_NE(out_.find("width:         37"), std::string::npos) << out_;
    EXPECT_NE(out_.find("expected size: 1718 bytes"), std::string::npos) << out_;
    EXPECT_NE(out_.find("engine loads:  yes"), std::string::npos) << out_;
}

TEST_F(ZitTool, ReadsEveryPngLayout) {
    std::string error;
    ZitPicture picture;
    // Palette, 2 pixels.
    WritePng("palette.png", 2, 1, PNG_COLOR_TYPE_PALETTE, 8, {1, 0}, {{0, 0, 0}, {255, 0, 0}});
    ASSERT_EQ(Run({"encode", Path("palette.png"), Path("p.zit")}), 0) << err_;
    ASSERT_TRUE(ZitLoadPicture(Path("p.zit"), &picture, &error));
    EXPECT_EQ(picture.texels, (std::vector<uint16_t>{0xF800, 0x0000}));
    // 16-bit grey: white and 50 %.
    WritePng("grey16.png", 2, 1, PNG_COLOR_TYPE_GRAY, 16, {0xFF, 0xFF, 0x80, 0x00});
    ASSERT_EQ(Run({"encode", Path("grey16.png"), Path("g.zit")}), 0) << err_;
    ASSERT_TRUE(ZitLoadPicture(Path("g.zit"), &picture, &error));
    EXPECT_EQ(picture.texels, (std::vector<uint16_t>{0xFFFF, RgbTo565(0x80, 0x80, 0x80)}));
    // 1-bit grey.
    WritePng("grey1.png", 8, 1, PNG_COLOR_TYPE_GRAY, 1, {0xA0});
    ASSERT_EQ(Run({"encode", Path("grey1.png"), Path("g1.zit")}), 0) << err_;
    ASSERT_TRUE(ZitLoadPicture(Path("g1.zit"), &picture, &error));
    EXPECT_EQ(picture.texels, (std::vector<uint16_t>{0xFFFF, 0, 0xFFFF, 0, 0, 0, 0, 0}));
    // RGBA: transparent becomes black, opaque keeps its colour, half is half.
    WritePng("rgba.png", 3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8,
             {255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255, 128});
    ASSERT_EQ(Run({"encode", Path("rgba.png"), Path("a.zit")}), 0) << err_;
    ASSERT_TRUE(ZitLoadPicture(Path("a.zit"), &picture, &error));
    EXPECT_EQ(picture.texels, (std::vector<uint16_t>{0, 0x001F, RgbTo565(128, 128, 128)}));
    // Grey with alpha, 16 bits a channel.
    WritePng("ga16.png", 1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0xFF, 0xFF, 0xFF, 0xFF});
    ASSERT_EQ(Run({"encode", Path("ga16.png"), Path("ga.zit")}), 0) << err_;
    ASSERT_TRUE(ZitLoadPicture(Path("ga.zit"), &picture, &error));
    EXPECT_EQ(picture.texels, (std::vector<uint16_t>{0xFFFF}));
}

TEST_F(ZitTool, RefusesBadInputWithAMessageAndAFailingStatus) {
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({"encode", Path("x.png")}), 2);
    EXPECT_EQ(Run({"squash", "a", "b"}), 2);
    EXPECT_NE(err_.find("usage"), std::string::npos);

    EXPECT_EQ(Run({"encode", Path("missing.png"), Path("o.zit")}), 1);
    EXPECT_NE(err_.find("cannot open"), std::string::npos) << err_;
    WriteBytes("text.png", "this is not a picture");
    EXPECT_EQ(Run({"encode", Path("text.png"), Path("o.zit")}), 1);
    EXPECT_NE(err_.find("not a PNG"), std::string::npos) << err_;
    EXPECT_FALSE(std::filesystem::exists(Path("o.zit")));

    RgbImage picture;
    picture.width = 64;
    picture.height = 64;
    for (uint32_t i = 0; i < 64 * 64 * 3; ++i)
        picture.rgb.push_back(static_cast<uint8_t>(i * 31));
    std::string error;
    ASSERT_TRUE(PngWrite(Path("good.png"), picture, &error));
    const std::string png = ReadBytes("good.png");
    WriteBytes("cut.png", png.substr(0, png.size() / 2));
    EXPECT_EQ(Run({"encode", Path("cut.png"), Path("o.zit")}), 1);
    EXPECT_NE(err_.find("bad PNG"), std::string::npos) << err_;
    EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1) << err_;

    // Wider than a texture can be.
    WritePng("wide.png", 70000, 1, PNG_COLOR_TYPE_GRAY, 1, std::vector<uint8_t>(8750, 0));
    EXPECT_EQ(Run({"encode", Path("wide.png"), Path("o.zit")}), 1);
    EXPECT_NE(err_.find("70000 x 1"), std::string::npos) << err_;
    EXPECT_NE(err_.find("at most 65535 x 65535"), std::string::npos) << err_;

    EXPECT_EQ(Run({"encode", Path("good.png"), Path("no/such/dir/o.zit")}), 1);
    EXPECT_NE(err_.find("cannot create"), std::string::npos) << err_;

    // Short ".zit" files: decode refuses them, info says why.
    ASSERT_EQ(Run({"encode", Path("good.png"), Path("good.zit")}), 0);
    const std::string zit = ReadBytes("good.zit");
    WriteBytes("short.zit", zit.substr(0, zit.size() - 1));
    EXPECT_EQ(Run({"decode", Path("short.zit"), Path("o.png")}), 1);
    EXPECT_NE(err_.find("need 8208"), std::string::npos) << err_;
    EXPECT_FALSE(std::filesystem::exists(Path("o.png")));
    EXPECT_EQ(Run({"info", Path("short.zit")}), 1);
    EXPECT_NE(out_.find("engine loads:  no (1 bytes short of its texels)"), std::string::npos)
        << out_;
    WriteBytes("tiny.zit", zit.substr(0, 10));
    EXPECT_EQ(Run({"decode", Path("tiny.zit"), Path("o.png")}), 1);
    EXPECT_NE(err_.find("too short for the 16-byte header"), std::string::npos) << err_;
    EXPECT_EQ(Run({"info", Path("tiny.zit")}), 1);
    EXPECT_EQ(Run({"info", Path("missing.zit")}), 1);
    // A header that promises far more than the file holds.
    WriteBytes("claims.zit", std::string("\0\0\0\0\0\0\0\0\xFF\xFF\xFF\xFF\0\0\0\0abcd", 20));
    EXPECT_EQ(Run({"decode", Path("claims.zit"), Path("o.png")}), 1);
    EXPECT_EQ(Run({"info", Path("claims.zit")}), 1);
    EXPECT_NE(out_.find("expected size: 8589672466 bytes"), std::string::npos) << out_;
    // No texels at all: nothing to decode, though the engine would load it.
    WriteBytes("empty.zit", std::string(16, '\0'));
    EXPECT_EQ(Run({"decode", Path("empty.zit"), Path("o.png")}), 1);
    EXPECT_EQ(Run({"info", Path("empty.zit")}), 0);
}
