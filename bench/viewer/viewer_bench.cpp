// One whole frame of the viewer on a headless device, for each sample model
// the build makes beside this program (samples/): the keys, the frame
// cleared, the model's vertices processed, its front faces sorted far to
// near and filled, the present to the screen. Frames per second are the
// items per second; flat and textured with shade levels (the mode it starts
// in) bound the fill modes' costs.
#include "host/debug_output.h"
#include "resource/file.h"
#include "resource/memory.h"
#include "viewer/viewer_app.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr const char* kSamples[] = {"torus-knot", "sphere", "terrain"};

void ViewerFrame(benchmark::State& state) {
    host::SetDebugToStderr(false);
    MemoryInit();
    MemoryLevelSetup(1024, 0);
    FileInitDirectory();
    const std::string name = std::string("samples/") + kSamples[state.range(0)] + ".obj";
    ObjModel model;
    if (!ObjModelLoad(&model, name.c_str(), kModelRadius)) {
        state.SkipWithError("the sample models are missing beside this program (build them)");
        return;
    }
    static int instance;
    ViewerApp app(&instance, name.c_str(), model, ViewerTexture(nullptr));
    app.mode = static_cast<FillMode>(state.range(1));
    // The front faces, averaged over the first 64 frames' turns.
    int64_t visible = 0;
    for (int frame = 0; frame < 64; ++frame) {
        app.OnFrame();
        visible += app.space.frontCount;
    }
    for (auto _ : state) {
        app.OnFrame();
        benchmark::DoNotOptimize(app.display->frameBuffer[0]);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(kSamples[state.range(0)]);
    state.counters["triangles"] = model.triangleCount;
    state.counters["front"] = static_cast<double>(visible) / 64.0;
}
BENCHMARK(ViewerFrame)
    ->ArgsProduct({{0, 1, 2},
                   {static_cast<int>(FillMode::kFlat),
                    static_cast<int>(FillMode::kTexturedShaded)}})
    ->ArgNames({"sample", "mode"})
    ->Unit(benchmark::kMicrosecond);

} // namespace
