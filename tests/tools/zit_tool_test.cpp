#include "../temp_folder.h"
#include "../zit_bytes.h"
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

#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Ends the test program if a step waits forever (on a FIFO, say).
struct Watchdog {
    explicit Watchdog(unsigned seconds) { alarm(seconds); }
    ~Watchdog() { alarm(0); }
};

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
        for (size_t i = 0; i < args.size(); ++i) {
            // The command, options and their values, absolute paths.
            const bool command = i == (args[0][0] == '-' ? 2u : 0u);
            const bool asGiven =
                command || args[i][0] == '/' || args[i][0] == '-' || args[i - 1][0] == '-';
            words.push_back(asGiven ? args[i] : Path(args[i]));
        }
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
    // A PNG in any layout, its rows given as raw bytes one after another; with
    // no bytes, a PNG that claims its pixels and holds none (an empty data chunk).
    void WritePng(const std::string& name, uint32_t width, uint32_t height, int colorType,
                  int bitDepth, const std::vector<uint8_t>& bytes,
                  int interlace = PNG_INTERLACE_NONE) {
        std::FILE* f = std::fopen(Path(name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, f);
        png_set_IHDR(png, info, width, height, bitDepth, colorType, interlace,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        const png_color palette[] = {{0, 0, 0}, {255, 0, 0}};
        if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, 2);
        png_write_info(png, info);
        const auto raw = [](const char* text) { return reinterpret_cast<png_const_bytep>(text); };
        if (bytes.empty()) { // no bytes, compressed
            png_write_chunk(png, raw("IDAT"), raw("\x78\x9c\x03\x00\x00\x00\x00\x01"), 8);
            png_write_chunk(png, raw("IEND"), nullptr, 0);
        } else {
            std::vector<png_bytep> rows;
            for (uint32_t y = 0; y < height; ++y)
                rows.push_back(const_cast<uint8_t*>(bytes.data()) + y * (bytes.size() / height));
            png_write_image(png, rows.data());
            png_write_end(png, nullptr);
        }
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
    EXPECT_LE(worst[0], 4); // red and blue keep 5 bits, green 6
    EXPECT_LE(worst[1], 2);
    EXPECT_LE(worst[2], 4);
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
        WritePng("in.png", layout.width, 1, layout.colorType, layout.bitDepth, layout.row);
        ASSERT_EQ(Run({"encode", "in.png", "out.zit"}), 0) << err_;
        const std::string zit = Read("out.zit");
        std::vector<uint16_t> texels;
        for (size_t i = 16; i + 1 < zit.size(); i += 2)
            texels.push_back(static_cast<uint16_t>(static_cast<uint8_t>(zit[i]) |
                                                   static_cast<uint8_t>(zit[i + 1]) << 8));
        EXPECT_EQ(texels, layout.texels) << "colour type " << layout.colorType;
    }
    // An interlaced picture comes in seven passes; each pixel lands in its place.
    WriteNoise("plain.png", 37, 23);
    WritePng("interlaced.png", 37, 23, PNG_COLOR_TYPE_RGB, 8, picture_.rgb, PNG_INTERLACE_ADAM7);
    ASSERT_EQ(Run({"encode", "plain.png", "plain.zit"}), 0) << err_;
    ASSERT_EQ(Run({"encode", "interlaced.png", "interlaced.zit"}), 0) << err_;
    EXPECT_EQ(Read("interlaced.zit"), Read("plain.zit"));
}

TEST_F(ZitTool, RefusesBadInputWithAOneLineMessageAndAFailingStatus) {
    WriteNoise("good.png", 64, 64);
    const std::string png = Read("good.png");
    Write("cut.png", png.substr(0, png.size() / 2));
    Write("text.png", "this is not a picture");
    WritePng("wide.png", 70000, 1, PNG_COLOR_TYPE_GRAY, 1, std::vector<uint8_t>(8750, 0));
    ASSERT_EQ(Run({"encode", "good.png", "good.zit"}), 0);
    const std::string zit = Read("good.zit");
    Write("short.zit", zit.substr(0, zit.size() - 1));
    Write("tiny.zit", zit.substr(0, kZitHeaderBytes - 1));
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
        {{"decode", "empty.zit", "o.png"}, 1, "empty.zit"}, // no texels: nothing to decode,
        {{"info", "empty.zit"}, 1, "engine loads:  no (0 x 0 texels"}, // nor to load
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

// With the file-size limit lowered, every write fails part way; the files that
// were there keep their bytes and no temporary is left behind.
TEST_F(ZitTool, AFailedWriteLeavesTheOldFileAsItWas) {
    WriteNoise("big.png", 64, 64);
    ASSERT_EQ(Run({"encode", "big.png", "big.zit"}), 0) << err_;
    Write("old.zit", "the old texture");
    Write("old.png", "the old picture");
    const auto before = std::distance(std::filesystem::directory_iterator(dir_), {});

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN); // as the tool runs, a write fails
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int encoded = Run({"encode", "big.png", "old.zit"});
    const std::string encodeSaid = err_;
    const int decoded = Run({"decode", "big.zit", "old.png"});
    const std::string decodeSaid = err_;
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldSignal);

    EXPECT_EQ(encoded, 1);
    EXPECT_NE(encodeSaid.find("old.zit"), std::string::npos) << encodeSaid;
    EXPECT_EQ(decoded, 1);
    EXPECT_NE(decodeSaid.find("old.png"), std::string::npos) << decodeSaid;
    EXPECT_EQ(Read("old.zit"), "the old texture");
    EXPECT_EQ(Read("old.png"), "the old picture");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), before);
}

// FIFOs, folders, sockets and devices are refused in one line, at once, as
// inputs and as outputs; an output that names the input is refused before
// anything is written.
TEST_F(ZitTool, NonRegularFilesAndTheInputAsOutputAreRefusedUntouched) {
    const Watchdog watchdog(60);
    WriteNoise("a.png", 8, 8);
    ASSERT_EQ(Run({"encode", "a.png", "a.zit"}), 0) << err_;
    const std::string png = Read("a.png"), zit = Read("a.zit");
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0644), 0);
    std::filesystem::create_directory(Path("folder"));
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", Path("socket").c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // A device node of the test's own (the null device's numbers), never the
    // machine's: a tool that wrongly replaced its output would replace this
    // one. Making it needs root; elsewhere the device rows are left out.
    const bool device = mknod(Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    std::vector<Case> cases = {
        {{"encode", "fifo", "o.zit"}, "fifo: not a regular file (a FIFO)"},
        {{"decode", "fifo", "o.png"}, "fifo: not a regular file (a FIFO)"},
        {{"info", "fifo"}, "fifo: not a regular file (a FIFO)"},
        {{"info", "folder"}, "folder: not a regular file (a folder)"},
        {{"info", "socket"}, "socket: not a regular file (a socket)"},
        {{"encode", "a.png", "fifo"}, "fifo: not a regular file (a FIFO)"},
        {{"decode", "a.zit", "fifo"}, "fifo: not a regular file (a FIFO)"},
        {{"decode", "a.zit", "folder"}, "folder: not a regular file (a folder)"},
        {{"encode", "a.png", "socket"}, "socket: not a regular file (a socket)"},
        {{"encode", "a.png", "a.png"}, "a.png: the output would replace the input"},
        {{"decode", "a.zit", "a.zit"}, "a.zit: the output would replace the input"},
    };
    if (device) {
        cases.push_back({{"info", "null"}, "null: not a regular file (a device)"});
        cases.push_back({{"encode", "a.png", "null"}, "null: not a regular file (a device)"});
    }
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.args), 1) << testing::PrintToString(c.args);
        EXPECT_NE(err_.find(c.says), std::string::npos) << err_;
        EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1) << err_;
    }
    close(listener);
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(Path("fifo")).type(), fs::file_type::fifo);
    EXPECT_EQ(fs::status(Path("socket")).type(), fs::file_type::socket);
    EXPECT_EQ(fs::status(Path("null")).type(),
              device ? fs::file_type::character : fs::file_type::not_found);
    EXPECT_TRUE(std::filesystem::is_empty(Path("folder")));
    EXPECT_EQ(Read("a.png"), png);
    EXPECT_EQ(Read("a.zit"), zit);
    EXPECT_FALSE(std::filesystem::exists(Path("o.zit")));
    EXPECT_FALSE(std::filesystem::exists(Path("o.png")));
}

// A picture's declared size is judged before any of it is read: past what the
// device's memory can load, it is refused unless the limit is raised.
TEST_F(ZitTool, APictureTooLargeForTheDeviceIsRefusedBeforeItIsRead) {
    WritePng("bomb.png", 16384, 16384, PNG_COLOR_TYPE_RGB, 8, {});
    EXPECT_EQ(Run({"encode", "bomb.png", "o.zit"}), 1);
    EXPECT_NE(err_.find("bomb.png: 16384 x 16384 pixels"), std::string::npos) << err_;
    EXPECT_NE(err_.find("--max-texels"), std::string::npos) << err_;
    EXPECT_FALSE(std::filesystem::exists(Path("o.zit")));

    WriteNoise("ten.png", 10, 10);
    WriteNoise("eleven.png", 11, 10);
    EXPECT_EQ(Run({"--max-texels", "100", "encode", "ten.png", "o.zit"}), 0) << err_;
    EXPECT_EQ(Run({"--max-texels", "100", "encode", "eleven.png", "p.zit"}), 1);
    EXPECT_NE(err_.find("eleven.png: 11 x 10 pixels"), std::string::npos) << err_;
    EXPECT_FALSE(std::filesystem::exists(Path("p.zit")));
    for (const char* bad : {"0", "x", "-1", "4294967296000"}) {
        EXPECT_EQ(Run({"--max-texels", bad, "encode", "ten.png", "o.zit"}), 2) << bad;
    }
}

// "engine loads" is the loader's own verdict; "triangles" the renderer's and
// the clock's rule for the ball (16 shade levels).
TEST_F(ZitTool, InfoGivesTheLoadersAndTheBallsVerdicts) {
    const auto zit = [](uint16_t w, uint16_t h) {
        return ZitBytes(w, h, std::vector<uint16_t>(size_t{w} * h, 0x1111));
    };
    Write("ball.zit", zit(64, 64));
    Write("tiny.zit", zit(2, 2));
    Write("wide.zit", zit(64, 32));
    Write("nothing.zit", zit(0, 5));
    WriteNoise("picture.png", 8, 8);
    // 4100 x 4100 texels: more than the device's memory holds with its file.
    Write("huge.zit", ZitBytes(4100, 4100, {}));
    std::filesystem::resize_file(Path("huge.zit"), 16 + 2ull * 4100 * 4100);
    const struct {
        const char* file;
        int status;
        const char* says;
    } cases[] = {
        {"ball.zit", 0, "engine loads:  yes\n  triangles:     yes"},
        {"tiny.zit", 0, "engine loads:  yes\n  triangles:     no (too small for 16 shade levels"},
        {"wide.zit", 0, "triangles:     no (not square"},
        {"nothing.zit", 1, "engine loads:  no (0 x 5 texels"},
        {"picture.png", 1, "a PNG picture, not a .zit texture"},
        {"huge.zit", 1, "engine loads:  no (too large for the device's 64 MiB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run({"info", c.file}), c.status) << c.file;
        EXPECT_NE(out_.find(c.says), std::string::npos) << c.file << "\n" << out_;
    }
}
