// One whole scene frame of the clock on a headless device: the background
// blit, the textured ball, the camera step, the clock's fifteen nodes and the
// present to the screen. The pictures are the ones the build paints beside
// this program.
#include "demo/clock_app.h"
#include "host/clock.h"
#include "host/debug_output.h"
#include "resource/file.h"
#include "resource/memory.h"
#include "resource/texture.h"

#include <benchmark/benchmark.h>

namespace {

void SceneFrame(benchmark::State& state) {
    host::SystemTime time{};
    time.hour = 10;
    time.minute = 8;
    time.second = 30;
    host::SetLocalTimeFixed(time);
    host::SetDebugToStderr(false);
    MemoryInit();
    MemoryLevelSetup(1024, 0);
    FileInitDirectory();
    static int instance;
    ClockApp app(&instance, 240, 240, u"test");
    app.SetUpScene();
    if (!TextureFitsTriangles(app.flowerTexture) || !TextureFitsBackground(app.backgroundTexture)) {
        state.SkipWithError("the pictures are missing beside this program (build the pictures)");
        return;
    }
    app.introFrames = 0;
    for (auto _ : state) {
        app.OnFrame();
        benchmark::DoNotOptimize(app.display->frameBuffer[0]);
    }
    state.SetItemsProcessed(state.iterations());
    app.TearDown();
}
BENCHMARK(SceneFrame)->Unit(benchmark::kMicrosecond);

} // namespace
