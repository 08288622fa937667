// One frame of the scene-5 cube grid: 104 cubes transformed, shaded, projected and queued,
// then one flush (clear and rasterise) and the outline pass, into a 600 × 300 view. Read it as
// a ratio to BM_Memcpy of the same run.

#include "bench/BenchMeshes.h"
#include "engine3d/MeshGridView.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

namespace {

void BM_MeshGridView(benchmark::State& state) {
    MeshGridView grid(600, 300, Mesh::decode("cube.lwo", bench::cubeFile()));
    float s = 0.0f;
    for (auto _ : state) {
        // The scene's own motion, one 60 Hz frame apart, so every frame shows a different grid.
        grid.setRotation(float(3 * std::sin(0.6 * s)), float(0.3 * std::sin(9 * s)), float(2 * std::sin(1.3 * s)));
        grid.draw(s);
        s += 1.0f / 60.0f;
        benchmark::DoNotOptimize(grid.image().pixels());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * MeshGridView::cellCount);
}

} // namespace

BENCHMARK(BM_MeshGridView);
