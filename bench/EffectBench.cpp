// The 2D effects on a full 600 × 300 frame, each to be read as a ratio to BM_Memcpy of the run.

#include "effects/LightSpot.h"

#include <benchmark/benchmark.h>

namespace {

void BM_LightSpot(benchmark::State& state) {
    Image work(600, 300);
    for (std::size_t i = 0; i < work.pixelCount(); ++i) work.pixels()[i] = Color(static_cast<int>(i * 7), static_cast<int>(i * 3), static_cast<int>(i), 0);
    LightSpot light(work);
    light.set(300, 150, 230, 2000);
    for (auto _ : state) {
        light.draw(0.0f);
        benchmark::DoNotOptimize(work.pixels());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 600 * 300 * 4);
}

} // namespace

BENCHMARK(BM_LightSpot);
