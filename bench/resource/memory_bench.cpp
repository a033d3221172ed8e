// The cost of one tracked allocation and its free, the raw heap included,
// with the level holding a few other live blocks as in the running program.
#include "host/raw_heap.h"
#include "resource/memory.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void AllocFreePair(benchmark::State& state) {
    const auto size = static_cast<int32_t>(state.range(0));
    const auto alignment = static_cast<uint32_t>(state.range(1));
    MemoryInit();
    MemoryLevelSetup(1024, 0);
    std::vector<void*> resident;
    for (int i = 0; i < 16; ++i)
        resident.push_back(MemoryAlloc(64, 0, 4));
    for (auto _ : state) {
        void* block = MemoryAlloc(size, 0, alignment);
        benchmark::DoNotOptimize(block);
        MemoryFree(block);
    }
    for (void* block : resident)
        MemoryFree(block);
    state.SetItemsProcessed(state.iterations());
}

// The raw heap alone, for comparison: what the tracking adds is the
// difference.
void RawAllocFreePair(benchmark::State& state) {
    const auto bytes = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        void* block = host::RawAlloc(bytes);
        benchmark::DoNotOptimize(block);
        host::RawFree(block);
    }
    state.SetItemsProcessed(state.iterations());
}

// Freeing from the middle of a full table: the last entry moves into the hole.
void FreeFromFullLevel(benchmark::State& state) {
    MemoryInit();
    MemoryLevelSetup(1024, 0);
    std::vector<void*> blocks;
    for (int i = 0; i < 1023; ++i)
        blocks.push_back(MemoryAlloc(16, 0, 4));
    size_t victim = 0;
    for (auto _ : state) {
        MemoryFree(blocks[victim]);
        blocks[victim] = MemoryAlloc(16, 0, 4);
        victim = (victim + 389) % blocks.size();
    }
    for (void* block : blocks)
        MemoryFree(block);
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(AllocFreePair)->Args({16, 4})->Args({4096, 4})->Args({16, 32})->Args({4096, 32});
BENCHMARK(RawAllocFreePair)->Arg(16 + 4 + 24)->Arg(4096 + 4 + 24);
BENCHMARK(FreeFromFullLevel);
