#include "math/fixed.h"
#include "math/matrix.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

// Operands vary so the products cannot be folded; 1024 per pass.
std::vector<Fixed> Operands() {
    std::vector<Fixed> values(1024);
    uint32_t state = 12345;
    for (Fixed& value : values) {
        state = state * 1664525u + 1013904223u;
        value = static_cast<Fixed>(state >> 9) - 0x400000; // about -64.0 to 64.0
    }
    return values;
}

void BM_FixMul(benchmark::State& state) {
    const std::vector<Fixed> a = Operands();
    std::vector<Fixed> b = Operands();
    std::rotate(b.begin(), b.begin() + 1, b.end());
    for (auto _ : state) {
        Fixed sum = 0;
        for (size_t i = 0; i < a.size(); ++i)
            sum += FixMul(a[i], b[i]);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(a.size()));
}
BENCHMARK(BM_FixMul);

// The renderer's per-vertex transform: the ball's 240 vertices per pass.
void BM_MatrixTransformPoint(benchmark::State& state) {
    Matrix m;
    MatrixIdentity(&m);
    MatrixTranslate(&m, 0, 0, 250 << 16);
    MatrixRotateY(&m, 300);
    MatrixRotateX(&m, 700);
    const std::vector<Fixed> values = Operands();
    std::vector<Vector3> in(240);
    std::vector<Vector3> out(240);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = {values[3 * i], values[3 * i + 1], values[3 * i + 2]};
    for (auto _ : state) {
        for (size_t i = 0; i < in.size(); ++i)
            MatrixTransformPoint(&m, &out[i], &in[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(in.size()));
}
BENCHMARK(BM_MatrixTransformPoint);

} // namespace
