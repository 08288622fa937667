// Each operation with a vector path, on every path this CPU runs: BM_OnPath/<op>/<path>, path 0
// the plain loop, 1 SSE2, 2 AVX2. This is what shows a path pays for itself; the other
// benchmarks run whichever path the program would choose.

#include "bench/BenchImages.h"
#include "effects/BlobWarp.h"
#include "effects/LightSpot.h"
#include "effects/WaveWarp.h"
#include "raster/Image.h"
#include "raster/ImageKernels.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

namespace {

using bench::fillPattern;
using bench::H;
using bench::W;

enum Op { fade, add, addScaled, keyed, rays, blobWarp, waveWarp };
const char* const opNames[] = {"fadeTo", "blitAdd", "blitAddScaled", "blitKeyed", "LightSpot", "BlobWarp", "WaveWarp"};
const char* const pathNames[] = {"reference", "sse2", "avx2"};

void BM_OnPath(benchmark::State& state) {
    const auto op = static_cast<Op>(state.range(0));
    const auto path = static_cast<ImageKernels::Path>(state.range(1));
    const ImageKernels::Path before = ImageKernels::active().path;
    if (!ImageKernels::use(path)) {
        state.SkipWithError("this CPU lacks the path");
        return;
    }
    Image dst(W, H), src(W, H), texture(256, 256);
    fillPattern(dst, 1);
    fillPattern(src, 2);
    fillPattern(texture, 3);
    LightSpot light(dst);
    light.set(300, 150, 230, 2000);
    BlobWarp blobs(76, 38, texture, 3, 1.0f, 150.0f);
    WaveWarp waves(51, 38, texture, 1.0f);
    float t = 0.0f;
    for (auto _ : state) {
        switch (op) {
        case fade: dst.fadeTo(Color(255, 255, 255, 0), 0.3f); break;
        case add: dst.blitAdd(0, 0, src); break;
        case addScaled: dst.blitAddScaled(0, 0, src, 200); break;
        case keyed: dst.blitKeyed(0, 0, src, Color(4, 252, 4, 0)); break;
        case rays: light.draw(0.0f); break;
        case blobWarp: blobs.draw(t += 0.016f); break;
        case waveWarp: waves.draw(t += 0.016f); break;
        }
        benchmark::ClobberMemory();
    }
    ImageKernels::use(before);
    state.SetLabel(std::string(opNames[op]) + " " + pathNames[state.range(1)]);
}

} // namespace

BENCHMARK(BM_OnPath)->ArgsProduct({{fade, add, addScaled, keyed, rays, blobWarp, waveWarp}, {0, 1, 2}});
