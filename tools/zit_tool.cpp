#include "tools/zit_tool.h"

#include "host/local_files.h"
#include "host/png_file.h"
#include "resource/texture.h"
#include "tools/rgb_image.h"
#include "tools/zit_file.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

using host::kExitDone;
using host::kExitFailed;

// The clock's ball is drawn with 16 shade levels, the most any use asks.
constexpr int kBallLevelBits = 4;
constexpr uint32_t kMostTexels = 0xFFFFu * 0xFFFFu;

int Failed(std::ostream& err, const std::string& error) {
    err << "kq3d-zit: " << error << "\n";
    return kExitFailed;
}

// An output that names its input is refused before anything is read.
bool SameAsInput(const std::string& in, const std::string& outPath, std::string* error) {
    if (!host::SameFile(in, outPath)) return false;
    *error = outPath + ": the output would replace the input; give it another name";
    return true;
}

// A raised limit may ask for more than the machine has (or, on a 32-bit
// build, more than a vector can count): refused, never cut short.
bool AllocateBytes(std::vector<uint8_t>* bytes, uint64_t count) {
    if (count > bytes->max_size()) return false;
    try {
        bytes->resize(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

std::string Size(uint64_t width, uint64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// The picture's size is judged from its header; only a picture within the
// limit gets its texels' memory (the size of the output file), and rows are
// read into it one at a time.
int Encode(const std::string& in, const std::string& outPath, uint64_t maxTexels, bool limitGiven,
           std::ostream& out, std::ostream& err) {
    std::string error;
    if (SameAsInput(in, outPath, &error)) return Failed(err, error);
    std::vector<uint8_t> zit;
    uint32_t width = 0;
    const auto accept = [&](uint32_t w, uint32_t h, std::string* why) {
        const std::string size = Size(w, h);
        if (w > 0xFFFF || h > 0xFFFF) {
            *why =
                in + ": the picture is " + size + " pixels; a texture holds at most 65535 x 65535";
            return false;
        }
        if (uint64_t{w} * h > maxTexels) {
            *why = in + ": " + size + " pixels, more than the " + std::to_string(maxTexels) +
                   (limitGiven ? " texels --max-texels allows"
                               : " texels the device's memory loads (--max-texels raises that)");
            return false;
        }
        width = w;
        const ZitHeader header{static_cast<uint16_t>(w), static_cast<uint16_t>(h)};
        if (!AllocateBytes(&zit, ZitFileBytes(header))) {
            *why = in + ": " + size + " pixels, more than this machine's memory holds";
            return false;
        }
        ZitWriteHeader(zit.data(), header);
        return true;
    };
    const auto put = [&](uint32_t y, uint32_t x, uint32_t step, uint32_t count,
                         const uint8_t* rgb) {
        uint8_t* texel = &zit[kZitHeaderBytes + 2 * (size_t{y} * width + x)];
        for (uint32_t i = 0; i < count; ++i, rgb += 3, texel += 2 * size_t{step}) {
            const uint16_t v = RgbTo565(rgb[0], rgb[1], rgb[2]);
            texel[0] = static_cast<uint8_t>(v);
            texel[1] = static_cast<uint8_t>(v >> 8);
        }
    };
    if (!PngReadPixels(in, accept, put, &error) || !WriteBytesFile(outPath, zit, &error))
        return Failed(err, error);
    ZitHeader header{};
    ZitReadHeader(zit.data(), zit.size(), &header);
    out << outPath << ": " << Size(header.width, header.height) << " texels, " << zit.size()
        << " bytes\n";
    return kExitDone;
}

// Row by row from the file to the picture: no more than a row in memory.
int Decode(const std::string& in, const std::string& outPath, std::ostream& out,
           std::ostream& err) {
    std::string error;
    if (SameAsInput(in, outPath, &error)) return Failed(err, error);
    ZitFacts facts;
    host::FilePointer file(ZitOpenTexels(in, &facts, &error));
    if (!file) return Failed(err, error);
    const uint32_t width = facts.header.width, height = facts.header.height;
    std::vector<uint8_t> texels(2 * size_t{width}), rgb(3 * size_t{width});
    const auto row = [&](uint32_t, std::string* why) -> const uint8_t* {
        if (std::fread(texels.data(), 1, texels.size(), file.get()) != texels.size()) {
            *why = in + ": cannot read its texels";
            return nullptr;
        }
        for (size_t x = 0; x < width; ++x)
            Rgb565ToRgb(static_cast<uint16_t>(texels[2 * x] | texels[2 * x + 1] << 8), &rgb[3 * x]);
        return rgb.data();
    };
    if (!host::WritePngFile(outPath, width, height, row, &error)) return Failed(err, error);
    out << outPath << ": " << Size(width, height) << " pixels\n";
    return kExitDone;
}

// Why the loader refuses a file, in words.
std::string RefusalText(ZitRefusal refusal, const ZitFacts& facts) {
    switch (refusal) {
    case ZitRefusal::none:
        return std::string();
    case ZitRefusal::noHeader:
        return "too short for the 16-byte header";
    case ZitRefusal::shortTexels:
        return std::to_string(facts.expectedBytes - facts.actualBytes) +
               " bytes short of its texels";
    case ZitRefusal::noTexels:
        return Size(facts.header.width, facts.header.height) + " texels: no picture";
    case ZitRefusal::tooLarge:
        return "too large for the device's " + std::to_string(kZitDeviceBytes >> 20) +
               " MiB with its file; a picture holds at most " + std::to_string(ZitMaxTexels(0)) +
               " texels";
    }
    return std::string();
}

// How the ball, drawn on triangles with 16 shade levels, would take it.
std::string TrianglesText(const ZitFacts& facts) {
    const uint32_t w = facts.header.width, h = facts.header.height;
    if (!TextureSizeFitsTriangles(w, h, kBallLevelBits)) {
        if (w != h) return "no (not square)";
        if ((w & (w - 1)) != 0) return "no (not a power of two wide)";
        return "no (too small for 16 shade levels: at least 4 x 4)";
    }
    if (ZitCheckHeader(facts.header, facts.actualBytes, kBallLevelBits) != ZitRefusal::none)
        return "no (16 shade levels do not fit the device's memory)";
    return "yes (square, a power of two wide, room for 16 shade levels)";
}

// "engine loads" is the loader's own rule (ZitCheckHeader) for a picture;
// "triangles" the renderer's and the clock's (TextureFitsTriangles).
int Info(const std::string& path, std::ostream& out, std::ostream& err) {
    ZitFacts facts;
    std::string error;
    if (!ZitInspect(path, &facts, &error)) return Failed(err, error);
    out << path << "\n";
    if (facts.format != nullptr) {
        out << "  format:        " << facts.format << ", not a .zit texture"
            << " (kq3d-zit encode makes one of a PNG)\n";
    }
    if (facts.hasHeader) {
        out << "  width:         " << facts.header.width << "\n";
        out << "  height:        " << facts.header.height << "\n";
        out << "  expected size: " << facts.expectedBytes << " bytes\n";
    }
    out << "  actual size:   " << facts.actualBytes << " bytes\n";
    const ZitRefusal refusal =
        facts.hasHeader ? ZitCheckHeader(facts.header, facts.actualBytes, 0) : ZitRefusal::noHeader;
    if (refusal != ZitRefusal::none) {
        const std::string why = RefusalText(refusal, facts);
        out << "  engine loads:  no (" << why << ")\n";
        return Failed(err, path + ": the engine will not load it: " +
                               (facts.format != nullptr ? std::string(facts.format) : why));
    }
    out << "  engine loads:  yes";
    if (facts.actualBytes > facts.expectedBytes) {
        out << " (" << facts.actualBytes - facts.expectedBytes
            << " bytes after the texels ignored)";
    }
    out << "\n  triangles:     " << TrianglesText(facts) << "\n";
    return kExitDone;
}

} // namespace

const host::ProgramText& ZitProgramText() {
    static const host::ProgramText text = {
        "COMMAND FILE... [OPTION...]",
        "Brings pictures to the engine's \".zit\" textures (RGB565 texels after a 16-byte "
        "header) and back.",
        {{"encode", "IN.png OUT.zit", 2,
          "any PNG to RGB565 texels (a texture drawn on triangles needs a square of a "
          "power-of-two side, at least 4 x 4 for the ball's 16 shade levels)"},
         {"decode", "IN.zit OUT.png", 2, "a \".zit\" file back to a PNG"},
         {"info", "FILE.zit", 1,
          "the picture's size, whether the engine loads it, and whether triangles draw it"}},
        {{kExitDone, "done"},
         {kExitFailed, "bad input or a failure, told in one line on standard error"},
         {host::kExitUsage, "wrong usage: an unknown command or option, or the wrong number of "
                            "files"}},
    };
    return text;
}

const std::vector<host::OptionRow<ZitOptions>>& ZitOptionTable() {
    using Row = host::OptionRow<ZitOptions>;
    static const std::string deviceLimit =
        std::to_string(ZitMaxTexels(0)) + ", the most the device's memory loads as a picture";
    static const std::vector<Row> table = {
        Row::Number("--max-texels", "N", &ZitOptions::maxTexels, 1, kMostTexels,
                    "encode refuses, before reading them, pictures of more than N texels",
                    deviceLimit.c_str(), &ZitOptions::maxTexelsGiven),
    };
    return table;
}

int ZitToolMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    ZitOptions options;
    std::vector<std::string> words;
    std::string error;
    host::CommandLine outcome =
        host::ParseCommandLine(ZitOptionTable(), argc, argv, &options, &words, &error);
    const host::CommandRow* command = nullptr;
    if (outcome == host::CommandLine::kRun) {
        command = host::FindCommand(ZitProgramText().commands, words, &error);
        if (command == nullptr) outcome = host::CommandLine::kWrong;
    }
    int status = kExitDone;
    if (host::AnswerCommandLine(outcome, host::ProgramName(argc, argv), ZitProgramText(),
                                host::OptionTableWords(ZitOptionTable()), error, out, err, &status))
        return status;
    const std::string name = command->name;
    if (name == "encode") {
        const uint64_t limit = options.maxTexelsGiven ? options.maxTexels : ZitMaxTexels(0);
        return Encode(words[1], words[2], limit, options.maxTexelsGiven, out, err);
    }
    if (name == "decode") return Decode(words[1], words[2], out, err);
    return Info(words[1], out, err);
}
