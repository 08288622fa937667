// Image operations over a full 600 × 300 overlap, each to be read as a ratio to BM_Memcpy of the
// same run: the floor for any pass over a frame is moving its 720 KB.

#include "bench/BenchImages.h"
#include "raster/Image.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <cstring>

namespace {

using bench::fillPattern;
using bench::H;
using bench::W;

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
// The same addition done by pixman, the library it would otherwise come from. PIXMAN_OP_ADD
// saturates alpha too where blitAdd sets it to 255: the same work, byte for byte.
void BM_PixmanAdd(benchmark::State& state) {
    Image dst(W, H);
    Image src(W, H);
    fillPattern(dst, 1);
    fillPattern(src, 2);
    auto wrap = [](Image& img) {
        return pixman_image_create_bits(PIXMAN_a8r8g8b8, img.width(), img.height(),
                                        reinterpret_cast<std::uint32_t*>(img.pixels()), img.width() * 4);
    };
    pixman_image_t* d = wrap(dst);
    pixman_image_t* s = wrap(src);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_ADD, s, nullptr, d, 0, 0, 0, 0, 0, 0, W, H);
        benchmark::DoNotOptimize(dst.pixels());
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * W * H * 4);
}
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
BENCHMARK(BM_PixmanAdd);
BENCHMARK(BM_BlitAddScaled);
BENCHMARK(BM_FadeTo);
BENCHMARK(BM_BlitWrapRows);
BENCHMARK_MAIN();
