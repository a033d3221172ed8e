// The presenter runs once per frame over the whole 240x240 frame buffer, or
// over the tiles a frame changed. The turned copy's two paths are also measured alone, on the
// device's screen layout: the vector path (SSE2 or NEON where the compiler offers them) and the
// portable one.
#include "host/gx.h"
#include "host/screen.h"
#include "platform/display.h"
#include "platform/frame_tiles.h"
#include "platform/turned_copy.h"

#include <cmath>
#include <vector>

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

// Only the tiles a clock's frame changes, about a third: a 96-pixel square in
// the middle (the ball and the hands' crossing) and twelve 24-pixel squares on
// a circle around it (the hour marks).
void BM_PresentTilesTurned(benchmark::State& state) {
    host::GxReset();
    host::ScreenSetUp(host::DefaultScreenProperties());
    Display display(reinterpret_cast<host::WindowHandle>(&windowStandIn));
    DisplayCreateFrameBuffer(&display, 240, 240);
    DisplayClearFrame(&display, 0x1234);
    DisplayPlace(&display, 40, 0);
    FrameTiles tiles;
    FrameTilesClear(&tiles);
    FrameTilesMark(&tiles, 72, 72, 168, 168, 240, 240);
    for (int hour = 0; hour < 12; ++hour) {
        const double angle = hour * 3.14159265358979 / 6;
        const int x = 120 + static_cast<int>(100 * std::sin(angle)) - 12;
        const int y = 120 - static_cast<int>(100 * std::cos(angle)) - 12;
        FrameTilesMark(&tiles, x, y, x + 24, y + 24, 240, 240);
    }
    int64_t pixels = 0;
    FrameTilesRuns(tiles, 240, 240, [&pixels](int32_t, int32_t, int32_t width, int32_t height) {
        pixels += int64_t{width} * height;
    });
    for (auto _ : state) {
        benchmark::DoNotOptimize(DisplayPresentTiles(&display, tiles));
        benchmark::ClobberMemory();
    }
    state.counters["share"] = static_cast<double>(pixels) / (240 * 240);
    state.SetItemsProcessed(state.iterations() * pixels);
}
BENCHMARK(BM_PresentTilesTurned);

// A 240x240 frame turned onto rows 480 bytes apart, as on the device.
void TurnedCopyFrame(benchmark::State& state, decltype(&CopyTurned) copy) {
    std::vector<uint16_t> frame(240 * 240, 0x1234);
    std::vector<uint8_t> screen(240 * 480 + 480);
    uint8_t* const origin = screen.data() + 239 * 480;
    for (auto _ : state) {
        copy(origin, 480, reinterpret_cast<const uint8_t*>(frame.data()), 480, 240, 240);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 240 * 240);
}

void BM_TurnedCopyVector(benchmark::State& state) {
    TurnedCopyFrame(state, CopyTurned);
}
BENCHMARK(BM_TurnedCopyVector);

void BM_TurnedCopyPortable(benchmark::State& state) {
    TurnedCopyFrame(state, CopyTurnedPortable);
}
BENCHMARK(BM_TurnedCopyPortable);

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
