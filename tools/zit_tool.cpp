#include "tools/zit_tool.h"

#include "tools/rgb_image.h"
#include "tools/zit_file.h"

#include <climits>
#include <string>

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// The largest file the engine's loader takes in one block: the file and 16
// bytes more must fit a signed 32-bit size.
constexpr uint64_t kEngineMaxFileBytes = INT32_MAX - 16;

int Usage(std::ostream& err) {
    err << "usage: kq3d-zit encode IN.png OUT.zit | decode IN.zit OUT.png | info FILE.zit\n";
    return kUsage;
}

bool IsPowerOfTwo(uint32_t v) {
    return v != 0 && (v & (v - 1)) == 0;
}

int Encode(const std::string& in, const std::string& outPath, std::ostream& out,
           std::ostream& err) {
    RgbImage image;
    std::string error;
    if (!PngRead(in, &image, &error)) {
        err << "kq3d-zit: " << error << "\n";
        return kFailed;
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
        return kFailed;
    }
    out << outPath << ": " << picture.width << " x " << picture.height << " texels, "
        << 16 + 2 * uint64_t{picture.width} * picture.height << " bytes\n";
    return kDone;
}

int Decode(const std::string& in, const std::string& outPath, std::ostream& out,
           std::ostream& err) {
    ZitPicture picture;
    std::string error;
    if (!ZitLoadPicture(in, &picture, &error)) {
        err << "kq3d-zit: " << error << "\n";
        return kFailed;
    }
    if (picture.width == 0 || picture.height == 0) {
        err << "kq3d-zit: " << in << ": " << picture.width << " x " << picture.height
            << " texels, no picture to write\n";
        return kFailed;
    }
    RgbImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.rgb.resize(picture.texels.size() * 3);
    for (size_t i = 0; i < picture.texels.size(); ++i)
        Rgb565ToRgb(picture.texels[i], &image.rgb[3 * i]);
    if (!PngWrite(outPath, image, &error)) {
        err << "kq3d-zit: " << error << "\n";
        return kFailed;
    }
    out << outPath << ": " << image.width << " x " << image.height << " pixels\n";
    return kDone;
}

int Info(const std::string& path, std::ostream& out, std::ostream& err) {
    ZitFacts facts;
    std::string error;
    if (!ZitInspect(path, &facts, &error)) {
        err << "kq3d-zit: " << error << "\n";
        return kFailed;
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
        return kFailed;
    }
    out << "  engine loads:  yes";
    if (facts.actualBytes > facts.expectedBytes) {
        out << " (" << facts.actualBytes - facts.expectedBytes
            << " bytes after the texels ignored)";
    }
    out << "\n";
    return kDone;
}

} // namespace

int ZitToolMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    if (argc < 2) return Usage(err);
    const std::string command = argv[1];
    if (command == "encode" && argc == 4) return Encode(argv[2], argv[3], out, err);
    if (command == "decode" && argc == 4) return Decode(argv[2], argv[3], out, err);
    if (command == "info" && argc == 3) return Info(argv[2], out, err);
    return Usage(err);
}
