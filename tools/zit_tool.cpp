#include "tools/zit_tool.h"

#include "host/option_table.h"
#include "tools/rgb_image.h"
#include "tools/zit_file.h"

#include <climits>
#include <string>

namespace {

using host::kExitDone;
using host::kExitFailed;

// The largest file the engine's loader takes in one block: the file and 16
// bytes more must fit a signed 32-bit size.
constexpr uint64_t kEngineMaxFileBytes = INT32_MAX - 16;

bool IsPowerOfTwo(uint32_t v) {
    return v != 0 && (v & (v - 1)) == 0;
}

int Encode(const std::string& in, const std::string& outPath, std::ostream& out,
           std::ostream& err) {
    RgbImage image;
    std::string error;
    if (!PngRead(in, &image, &error)) {
        err << "kq3d-zit: " << error << "\n";
        return kExitFailed;
    }
    ZitPicture picture;
    picture.width = static_cast<uint16_t>(image.width);
    picture.height = static_cast<uint16_t>(image.height);
    picture.texels.resize(size_t{image.width} * image.height);
    for (size_t i = 0; i < picture.texels.size(); ++i) {
        const uint8_t* p = &image.rgb[3 * i];
        picture.texels[i] = RgbTo565(p[0], p[1], p[2]);
    }
    if (!ZitSavePicture(outPath, picture, &error)) {
        err << "kq3d-zit: " << error << "\n";
        return kExitFailed;
    }
    out << outPath << ": " << picture.width << " x " << picture.height << " texels, "
        << 16 + 2 * uint64_t{picture.width} * picture.height << " bytes\n";
    return kExitDone;
}

int Decode(const std::string& in, const std::string& outPath, std::ostream& out,
           std::ostream& err) {
    ZitPicture picture;
    std::string error;
    if (!ZitLoadPicture(in, &picture, &error)) {
        err << "kq3d-zit: " << error << "\n";
        return kExitFailed;
    }
    if (picture.width == 0 || picture.height == 0) {
        err << "kq3d-zit: " << in << ": " << picture.width << " x " << picture.height
            << " texels, no picture to write\n";
        return kExitFailed;
    }
    RgbImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.rgb.resize(picture.texels.size() * 3);
    for (size_t i = 0; i < picture.texels.size(); ++i)
        Rgb565ToRgb(picture.texels[i], &image.rgb[3 * i]);
    if (!PngWrite(outPath, image, &error)) {
        err << "kq3d-zit: " << error << "\n";
        return kExitFailed;
    }
    out << outPath << ": " << image.width << " x " << image.height << " pixels\n";
    return kExitDone;
}

int Info(const std::string& path, std::ostream& out, std::ostream& err) {
    ZitFacts facts;
    std::string error;
    if (!ZitInspect(path, &facts, &error)) {
        err << "kq3d-zit: " << error << "\n";
        return kExitFailed;
    }
    out << path << "\n";
    if (facts.hasHeader) {
        out << "  width:         " << facts.width
            << (IsPowerOfTwo(facts.width) ? " (a power of two: fits a triangle texture)\n"
                                          : " (not a power of two: a picture for blits only)\n");
        out << "  height:        " << facts.height << "\n";
        out << "  expected size: " << facts.expectedBytes << " bytes\n";
    }
    out << "  actual size:   " << facts.actualBytes << " bytes\n";
    std::string refusal;
    if (!facts.hasHeader) {
        refusal = "too short for the 16-byte header";
    } else if (facts.actualBytes < facts.expectedBytes) {
        refusal =
            std::to_string(facts.expectedBytes - facts.actualBytes) + " bytes short of its texels";
    } else if (facts.actualBytes > kEngineMaxFileBytes) {
        refusal = "too large to load in one block";
    }
    if (!refusal.empty()) {
        out << "  engine loads:  no (" << refusal << ")\n";
        err << "kq3d-zit: " << path << ": the engine will not load it: " << refusal << "\n";
        return kExitFailed;
    }
    out << "  engine loads:  yes";
    if (facts.actualBytes > facts.expectedBytes) {
        out << " (" << facts.actualBytes - facts.expectedBytes
            << " bytes after the texels ignored)";
    }
    out << "\n";
    return kExitDone;
}

} // namespace

const host::ProgramText& ZitProgramText() {
    static const host::ProgramText text = {
        "COMMAND FILE... [OPTION...]",
        "Brings pictures to the engine's \".zit\" textures (RGB565 texels after a 16-byte "
        "header) and back.",
        {{"encode", "IN.png OUT.zit", 2,
          "any PNG to RGB565 texels (a texture drawn on triangles needs a power-of-two width)"},
         {"decode", "IN.zit OUT.png", 2, "a \".zit\" file back to a PNG"},
         {"info", "FILE.zit", 1, "the picture's size, and whether the engine loads it"}},
        {{kExitDone, "done"},
         {kExitFailed, "bad input or a failure, told in one line on standard error"},
         {host::kExitUsage, "wrong usage: an unknown command or option, or the wrong number of "
                            "files"}},
    };
    return text;
}

const std::vector<host::OptionRow<ZitOptions>>& ZitOptionTable() {
    static const std::vector<host::OptionRow<ZitOptions>> table = {};
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
    if (name == "encode") return Encode(words[1], words[2], out, err);
    if (name == "decode") return Decode(words[1], words[2], out, err);
    return Info(words[1], out, err);
}
