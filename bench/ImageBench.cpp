// Image operations over a full 600 × 300 overlap, each to be read as a ratio to BM_Memcpy of the
// same run: the floor for any pass over a frame is moving its 720 KB.

#include "raster/Image.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr int W = 600;
constexpr int H = 300;

void fillPattern(Image& img, std::uint32_t seed) {
    for (std::size_t i = 0; i < img.pixelCount(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        img.pixels()[i] = Color(static_cast<int>(seed >> 24), static_cast<int>(seed >> 16), static_cast<int>(seed >> 8), 0);
    }
}

template <class Op>
void run(benchmark::State& state, Op op) {
    Image dst(W, H);
    Image src(W, H);
    fillPattern(dst, 1);
    fillPattern(src, 2);
    for (auto _ : state) {
        op(dst, src);
        benchmark::DoNotOptimize(dst.pixels());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * W * H * 4);
}

void BM_Memcpy(benchmark::State& s) {
    run(s, [](Image& d, const Image& src) { std::memcpy(d.pixels(), src.pixels(), d.pixelCount() * sizeof(Color)); });
}
void BM_Blit(benchmark::State& s) { run(s, [](Image& d, const Image& src) { d.blit(0, 0, src); }); }
void BM_BlitKeyed(benchmark::State& s) {
    run(s, [](Image& d, const Image& src) { d.blitKeyed(0, 0, src, Color(4, 252, 4, 0)); });
}
void BM_BlitAdd(benchmark::State& s) { run(s, [](Image& d, const Image& src) { d.blitAdd(0, 0, src); }); }
void BM_BlitAddScaled(benchmark::State& s) {
    run(s, [](Image& d, const Image& src) { d.blitAddScaled(0, 0, src, 200); });
}
void BM_FadeTo(benchmark::State& s) {
    run(s, [](Image& d, const Image&) { d.fadeTo(Color(255, 255, 255, 0), 0.3f); });
}
void BM_BlitWrapRows(benchmark::State& s) {
    run(s, [](Image& d, const Image& src) { d.blitWrapRows(0, 123, src); });
}

} // namespace

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_Blit);
BENCHMARK(BM_BlitKeyed);
BENCHMARK(BM_BlitAdd);
BENCHMARK(BM_BlitAddScaled);
BENCHMARK(BM_FadeTo);
BENCHMARK(BM_BlitWrapRows);
BENCHMARK_MAIN();
