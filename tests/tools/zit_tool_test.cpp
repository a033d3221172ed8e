#include "../temp_folder.h"
#include "kq3d/version.h"
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
        dir_ = MakeTempFolder("kq3d-zit");
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Read(const std::string& name) {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }

    // Runs the tool on a command and files in the test's folder (options as given).
    int Run(const std::vector<std::string>& args) {
        std::vector<std::string> words = {"kq3d-zit"};
        for (size_t i = 0; i < args.size(); ++i)
            words.push_back(i == 0 || args[i][0] == '-' ? args[i] : Path(args[i]));
        std::vector<const char*> argv;
        for (const auto& word : words)
            argv.push_back(word.c_str());
        std::ostringstream out, err;
        const int status = ZitToolMain(static_cast<int>(argv.size()), argv.data(), out, err);
        out_ = out.str();
        err_ = err.str();
        return status;
    }

    // A picture of many colours.
    void WriteNoise(const std::string& name, uint32_t width, uint32_t height) {
        picture_ = RgbImage{width, height, {}};
        for (uint32_t i = 0; i < width * height * 3; ++i)
            picture_.rgb.push_back(static_cast<uint8_t>((i * 97 + i / 7 * 13) & 0xFF));
        std::string error;
        ASSERT_TRUE(PngWrite(Path(name), picture_, &error)) << error;
    }
    // A PNG of one row in any layout, the row given as raw bytes.
    void WritePng(const std::string& name, uint32_t width, int colorType, int bitDepth,
                  const std::vector<uint8_t>& row) {
        std::FILE* f = std::fopen(Path(name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, f);
        png_set_IHDR(png, info, width, 1, bitDepth, colorType, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        const png_color palette[] = {{0, 0, 0}, {255, 0, 0}};
        if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, 2);
        png_write_info(png, info);
        png_write_row(png, row.data());
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
    }

    std::filesystem::path dir_;
    std::string out_, err_;
    RgbImage picture_;
};

} // namespace

TEST_F(ZitTool, RoundTripsAPictureWithinRgb565Precision) {
    WriteNoise("in.png", 37, 23);
    ASSERT_EQ(Run({"encode", "in.png", "a.zit"}), 0) << err_;
    const std::string zit = Read("a.zit");
    ASSERT_EQ(zit.size(), 16u + 2 * 37 * 23);
    EXPECT_EQ(zit.substr(0, 16), std::string("\0\0\0\0\0\0\0\0\x25\0\x17\0\0\0\0\0", 16));
    ASSERT_EQ(Run({"decode", "a.zit", "out.png"}), 0) << err_;
    RgbImage back;
    std::string error;
    ASSERT_TRUE(PngRead(Path("out.png"), &back, &error)) << error;
    ASSERT_EQ(back.width * back.height, 37u * 23);
    int worst[3] = {};
    for (size_t i = 0; i < back.rgb.size(); ++i)
        worst[i % 3] = std::max(worst[i % 3], std::abs(back.rgb[i] - picture_.rgb[i]));
    EXPECT_TRUE(worst[0] <= 4 && worst[1] <= 2 && worst[2] <= 4)
        << worst[0] << " " << worst[1] << " " << worst[2];
    // Texels survive a trip out to PNG and back unchanged.
    ASSERT_EQ(Run({"encode", "out.png", "b.zit"}), 0) << err_;
    EXPECT_EQ(Read("b.zit"), zit);
}

TEST_F(ZitTool, ReadsEveryPngLayout) {
    const struct {
        uint32_t width;
        int colorType, bitDepth;
        std::vector<uint8_t> row;
        std::vector<uint16_t> texels;
    } layouts[] = {
        {2, PNG_COLOR_TYPE_PALETTE, 8, {1, 0}, {0xF800, 0}},
        {2, PNG_COLOR_TYPE_GRAY, 16, {0xFF, 0xFF, 0x80, 0x00}, {0xFFFF, RgbTo565(128, 128, 128)}},
        {8, PNG_COLOR_TYPE_GRAY, 1, {0xA0}, {0xFFFF, 0, 0xFFFF, 0, 0, 0, 0, 0}},
        // Transparent becomes black, opaque keeps its colour, half is half.
        {3,
         PNG_COLOR_TYPE_RGB_ALPHA,
         8,
         {255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255, 128},
         {0, 0x001F, RgbTo565(128, 128, 128)}},
    };
    for (const auto& layout : layouts) {
        WritePng("in.png", layout.width, layout.colorType, layout.bitDepth, layout.row);
        ASSERT_EQ(Run({"encode", "in.png", "out.zit"}), 0) << err_;
        ZitPicture picture;
        std::string error;
        ASSERT_TRUE(ZitLoadPicture(Path("out.zit"), &picture, &error)) << error;
        EXPECT_EQ(picture.texels, layout.texels) << "colour type " << layout.colorType;
    }
}

TEST_F(ZitTool, RefusesBadInputWithAOneLineMessageAndAFailingStatus) {
    WriteNoise("good.png", 64, 64);
    const std::string png = Read("good.png");
    Write("cut.png", png.substr(0, png.size() / 2));
    Write("text.png", "this is not a picture");
    WritePng("wide.png", 70000, PNG_COLOR_TYPE_GRAY, 1, std::vector<uint8_t>(8750, 0));
    ASSERT_EQ(Run({"encode", "good.png", "good.zit"}), 0);
    const std::string zit = Read("good.zit");
    Write("short.zit", zit.substr(0, zit.size() - 1));
    Write("tiny.zit", zit.substr(0, 10));
    // A header that promises far more than the file holds; one with no texels.
    Write("claims.zit", std::string("\0\0\0\0\0\0\0\0\xFF\xFF\xFF\xFF\0\0\0\0abcd", 20));
    Write("empty.zit", std::string(16, '\0'));
    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } cases[] = {
        {{}, 2, "kq3d-zit: no command given; try \"kq3d-zit --help\"\n"},
        {{"encode", "x.png"}, 2, "encode takes IN.png OUT.zit, 1 word given"},
        {{"squash", "a", "b"}, 2, "unknown command \"squash\""},
        {{"--size", "a", "b"}, 2, "unknown option \"--size\""},
        {{"--help"}, 0, "usage: kq3d-zit COMMAND"},
        {{"info", "--help"}, 0, "\nExit status:\n  0  done\n"},
        {{"--version"}, 0, "kq3d-zit " KQ3D_VERSION "\n"},
        {{"encode", "missing.png", "o.zit"}, 1, "cannot open"},
        {{"encode", "text.png", "o.zit"}, 1, "not a PNG"},
        {{"encode", "cut.png", "o.zit"}, 1, "bad PNG"},
        {{"encode", "wide.png", "o.zit"}, 1, "70000 x 1 pixels; a texture holds at most 65535 x"},
        {{"encode", "good.png", "no/such/dir/o.zit"}, 1, "cannot create"},
        {{"decode", "short.zit", "o.png"}, 1, "need 8208"},
        {{"info", "short.zit"}, 1, "engine loads:  no (1 bytes short of its texels)"},
        {{"decode", "tiny.zit", "o.png"}, 1, "too short for the 16-byte header"},
        {{"decode", "claims.zit", "o.png"}, 1, "need 8589672466"},
        {{"info", "claims.zit"}, 1, "expected size: 8589672466 bytes"},
        {{"decode", "empty.zit", "o.png"}, 1, "empty.zit"}, // no texels to decode ...
        {{"info", "empty.zit"}, 0, "engine loads:  yes"},   // ... though the engine loads it
        {{"info", "good.zit"}, 0, "expected size: 8208 bytes\n  actual size:   8208 bytes"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.args), c.status) << testing::PrintToString(c.args);
        EXPECT_NE((out_ + err_).find(c.says), std::string::npos) << out_ << err_;
        EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), c.status != 0) << err_;
    }
    EXPECT_FALSE(std::filesystem::exists(Path("o.zit")));
    EXPECT_FALSE(std::filesystem::exists(Path("o.png")));
}
