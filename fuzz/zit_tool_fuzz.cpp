// Arbitrary bytes as a ".zit" file through the texture tool's "info" and
// "decode" commands, in-process. A file the tool decodes must come back
// unchanged through "encode": the same size and the same texels.
#include "fuzz/fuzz_files.h"
#include "tools/zit_tool.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string folder;

int Tool(std::vector<std::string> arguments) {
    std::vector<const char*> argv{"kq3d-zit"};
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    std::ostringstream out;
    std::ostringstream err;
    int status = ZitToolMain(static_cast<int>(argv.size()), argv.data(), out, err);
    FuzzCheck(status == 0 || !err.str().empty(), "a failure without a message");
    return status;
}

std::vector<uint8_t> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzFilesStart();
    folder = FuzzFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzFileWrite("in.zit", data, size);
    const std::string in = folder + "/in.zit";
    const std::string png = folder + "/out.png";
    const std::string back = folder + "/back.zit";
    std::remove(png.c_str());
    std::remove(back.c_str());

    int info = Tool({"info", in});
    bool holdsTexels = false;
    uint32_t width = 0;
    uint32_t height = 0;
    if (size >= 16) {
        width = data[8] | data[9] << 8;
        height = data[10] | data[11] << 8;
        holdsTexels = size >= 16 + 2 * uint64_t{width} * height;
    }
    // The loader takes a file that holds its texels, at least one of them
    // (files this small always fit the device's memory).
    const bool loads = holdsTexels && width != 0 && height != 0;
    FuzzCheck((info == 0) == loads, "info judged the file wrongly");

    if (Tool({"decode", in, png}) != 0) {
        FuzzCheck(!holdsTexels || width == 0 || height == 0, "a loadable file did not decode");
        return 0;
    }
    FuzzCheck(holdsTexels, "a file short of its texels decoded");
    FuzzCheck(Tool({"encode", png, back}) == 0, "a decoded picture did not encode");
    std::vector<uint8_t> encoded = Read(back);
    size_t texelBytes = 2 * size_t{width} * height;
    FuzzCheck(encoded.size() == 16 + texelBytes, "the encoded file has another size");
    FuzzCheck(std::equal(encoded.begin() + 8, encoded.begin() + 12, data + 8),
              "the encoded file has another width or height");
    FuzzCheck(std::equal(encoded.begin() + 16, encoded.end(), data + 16),
              "a texel changed through decode and encode");
    return 0;
}
