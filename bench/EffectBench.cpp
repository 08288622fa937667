// The 2D effects and the texture programs, each to be read as a ratio to BM_Memcpy of the run.

#include "bench/BenchData.h"
#include "effects/BlobWarp.h"
#include "effects/LightSpot.h"
#include "effects/Tunnel.h"
#include "effects/WaveWarp.h"
#include "raster/Image.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

void fill(Image& img) {
    for (std::size_t i = 0; i < img.pixelCount(); ++i)
        img.pixels()[i] = Color(static_cast<int>(i * 7), static_cast<int>(i * 3), static_cast<int>(i), 0);
}

void perFrame(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 600 * 300 * 4);
}

void BM_LightSpot(benchmark::State& state) {
    Image work(600, 300);
    fill(work);
    LightSpot light(work);
    light.set(300, 150, 230, 2000);
    for (auto _ : state) {
        light.draw(0.0f);
        benchmark::DoNotOptimize(work.pixels());
        benchmark::ClobberMemory();
    }
    perFrame(state);
}

template <class Warp, class... Args>
void warp(benchmark::State& state, Args... args) {
    Image texture(256, 256);
    fill(texture);
    Warp effect(args..., texture, 1.0f);
    float t = 0.0f;
    for (auto _ : state) {
        effect.draw(t += 0.016f);
        benchmark::DoNotOptimize(effect.image().pixels());
        benchmark::ClobberMemory();
    }
    perFrame(state);
}

void BM_BlobWarp(benchmark::State& state) {
    Image texture(256, 256);
    fill(texture);
    BlobWarp effect(76, 38, texture, 3, 1.0f, 150.0f);
    float t = 0.0f;
    for (auto _ : state) {
        effect.draw(t += 0.016f);
        benchmark::DoNotOptimize(effect.image().pixels());
        benchmark::ClobberMemory();
    }
    perFrame(state);
}

void BM_WaveWarp(benchmark::State& state) { warp<WaveWarp>(state, 51, 38); }

// Generating one of the show's textures from its program, as the scenes do at start-up.
const char* const textures[] = {"Part2/texture1.tex", "Part6/texture.tex", "Part7/texture.tex", "Part8/texture.tex"};
void BM_Texture(benchmark::State& state) {
    const char* name = textures[state.range(0)];
    const auto bytes = bench::buildData().read(name);
    for (auto _ : state) benchmark::DoNotOptimize(Image::decode(name, bytes));
    state.SetLabel(name);
}

} // namespace

BENCHMARK(BM_LightSpot);
BENCHMARK(BM_BlobWarp);
BENCHMARK(BM_WaveWarp);
BENCHMARK(BM_Texture)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

namespace {

// The tunnel writes 212 × 292 pixels: its baseline is a copy of that many.
void BM_MemcpyTunnelSize(benchmark::State& state) {
    Image src(212, 292), dst(212, 292);
    fill(src);
    for (auto _ : state) {
        std::memcpy(dst.pixels(), src.pixels(), dst.pixelCount() * sizeof(Color));
        benchmark::DoNotOptimize(dst.pixels());
        benchmark::ClobberMemory();
    }
}

void BM_Tunnel(benchmark::State& state) {
    Image texture(256, 256);
    fill(texture);
    Tunnel tunnel(212, 292, texture);
    float t = 0.0f;
    for (auto _ : state) {
        tunnel.draw(t += 0.016f);
        benchmark::DoNotOptimize(tunnel.image().pixels());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_MemcpyTunnelSize);
BENCHMARK(BM_Tunnel);
