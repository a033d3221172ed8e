// Load-time costs of textures: building the shade levels of the ball's
// 128 x 128 texture, and loading the 240 x 240 background from its file.
#include "host/debug_output.h"
#include "host/module.h"
#include "resource/file.h"
#include "resource/memory.h"
#include "resource/texture.h"
#include "resource/zit.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

void TextureCreateLevels(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const int levelBits = static_cast<int>(state.range(1));
    MemoryInit();
    MemoryLevelSetup(1024, 0);
    std::vector<uint16_t> source(static_cast<size_t>(size) * size);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<uint16_t>(i * 2654435761u);
    for (auto _ : state) {
        Texture texture;
        TextureInit(&texture);
        TextureCreate(&texture, size, size, levelBits, source.data());
        benchmark::DoNotOptimize(texture.texels);
        TextureRelease(&texture);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(source.size()) *
                            (int64_t{1} << levelBits));
}
BENCHMARK(TextureCreateLevels)->Args({128, 4})->Args({240, 0});

void TextureLoadBackground(benchmark::State& state) {
    std::string dir = (std::filesystem::temp_directory_path() / "kq3d-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::vector<uint8_t> bytes(kZitHeaderBytes + 240 * 240 * 2, 0x5A);
    ZitWriteHeader(bytes.data(), {240, 240});
    std::ofstream(dir + "/yama01.zit", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    host::SetDeviceRoot(dir);
    host::SetModuleFileName(u"\\bench");
    FileInitDirectory();
    host::SetDebugToStderr(false);
    MemoryInit();
    MemoryLevelSetup(1024, 0);
    for (auto _ : state) {
        Texture texture;
        TextureInit(&texture);
        benchmark::DoNotOptimize(TextureLoadZit(&texture, "yama01.zit", 0));
        TextureRelease(&texture);
    }
    host::SetDebugToStderr(true);
    host::SetDeviceRoot("");
    host::SetModuleFileName(nullptr);
    std::filesystem::remove_all(dir);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(TextureLoadBackground);

} // namespace
