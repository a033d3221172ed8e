// The presenter runs once per frame over the whole 240x240 frame buffer.
#include "host/gx.h"
#include "host/screen.h"
#include "platform/display.h"

#include <benchmark/benchmark.h>

namespace {

int windowStandIn;

void Present(benchmark::State& state, const GXDisplayProperties& screen) {
    host::GxReset();
    host::ScreenSetUp(screen);
    Display display(reinterpret_cast<host::WindowHandle>(&windowStandIn));
    DisplayCreateFrameBuffer(&display, 240, 240);
    DisplayClearFrame(&display, 0x1234);
    DisplayPlace(&display, 40, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(DisplayPresent(&display));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 240 * 240);
}

void BM_PresentTurned(benchmark::State& state) {
    Present(state, host::DefaultScreenProperties());
}
BENCHMARK(BM_PresentTurned);

void BM_PresentStraight(benchmark::State& state) {
    Present(state, GXDisplayProperties{240, 320, 640, -2, 16, kGXLandscape});
}
BENCHMARK(BM_PresentStraight);

void BM_FillWholeScreenTurned(benchmark::State& state) {
    host::GxReset();
    host::ScreenSetUp(host::DefaultScreenProperties());
    Display display(reinterpret_cast<host::WindowHandle>(&windowStandIn));
    for (auto _ : state) {
        DisplayFillRect(&display, 0, 0, display.width, display.height, 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 320 * 240);
}
BENCHMARK(BM_FillWholeScreenTurned);

} // namespace
