// Each loop of the kernel tables, through the operation or the effect that runs it, on every path
// this CPU runs: BM_OnPath/<op>/<path>, path 0 the plain loops, 1 SSE2, 2 AVX2 (a module without
// loops of its own for a path runs its narrower set there). This is what shows a path pays for
// itself; the other benchmarks run whichever path the program would choose.

#include "bench/BenchImages.h"
#include "bench/BenchMeshes.h"
#include "effects/BlobWarp.h"
#include "effects/LightSpot.h"
#include "effects/Tunnel.h"
#include "effects/WaveWarp.h"
#include "engine3d/Mesh.h"
#include "engine3d/MeshGridView.h"
#include "raster/Image.h"
#include "raster/ImageKernels.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <string>

namespace {

using bench::fillPattern;
using bench::H;
using bench::W;

enum Op { fade, add, addScaled, keyed, rays, blobWarp, waveWarp, tunnel, meshGrid };
const char* const opNames[] = {"fadeTo",   "blitAdd",  "blitAddScaled", "blitKeyed",   "LightSpot",
                               "BlobWarp", "WaveWarp", "Tunnel",        "MeshGridView"};
const char* const pathNames[] = {"reference", "sse2", "avx2"};

// Draws one frame of its view or effect at each call's time.
template <class Subject>
std::function<void(float)> drawing(std::shared_ptr<Subject> subject) {
    return [subject](float t) { subject->draw(t); };
}

// One frame of op at time t. Its effect is built for the op alone: the tunnel's table and the
// grid's 104 meshes take a while.
std::function<void(float)> frameOf(Op op, Image& dst, const Image& src, const Image& texture) {
    switch (op) {
    case fade: return [&dst](float) { dst.fadeTo(Color(255, 255, 255, 0), 0.3f); };
    case add: return [&dst, &src](float) { dst.blitAdd(0, 0, src); };
    case addScaled: return [&dst, &src](float) { dst.blitAddScaled(0, 0, src, 200); };
    case keyed: return [&dst, &src](float) { dst.blitKeyed(0, 0, src, Color(4, 252, 4, 0)); };
    case rays: {
        auto light = std::make_shared<LightSpot>(dst);
        light->set(300, 150, 230, 2000);
        return drawing(light);
    }
    case blobWarp: return drawing(std::make_shared<BlobWarp>(76, 38, texture, 3, 1.0f, 150.0f));
    case waveWarp: return drawing(std::make_shared<WaveWarp>(51, 38, texture, 1.0f));
    case tunnel: return drawing(std::make_shared<Tunnel>(212, 292, texture));
    case meshGrid: {
        // A grid of outlined cubes, turned so each shows three faces: spans and outline.
        auto grid = std::make_shared<MeshGridView>(W, H, Mesh::decode("cube.lwo", bench::cubeFile()));
        grid->setRotation(0.5f, 0.3f, 0.2f);
        return drawing(grid);
    }
    }
    return {};
}

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
    const std::function<void(float)> frame = frameOf(op, dst, src, texture);
    float t = 0.0f;
    for (auto _ : state) {
        frame(t += 0.016f);
        benchmark::ClobberMemory();
    }
    ImageKernels::use(before);
    state.SetLabel(std::string(opNames[op]) + " " + pathNames[state.range(1)]);
}

} // namespace

BENCHMARK(BM_OnPath)
    ->ArgsProduct({{fade, add, addScaled, keyed, rays, blobWarp, waveWarp, tunnel, meshGrid}, {0, 1, 2}});
