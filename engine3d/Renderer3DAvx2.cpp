// The 3D renderer's span and outline loops with AVX2, compiled for it function by function;
// used only where the CPU reports AVX2.

#include "engine3d/Renderer3DKernels.h"
#include "raster/Simd.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Eight pixels a step, the masked stores writing exactly the pixels the plain loop writes. Spans
// average a few pixels in the show, so what this saves is the plain loop's mispredicted tests
// and exits; each step's eight depths are still one addition after another, as there.
TINDREL_AVX2 void span(float* d, Color* px, int count, float z, float dz, Color color) {
    std::uint32_t word;
    std::memcpy(&word, &color, sizeof word);
    const __m256i shade = _mm256_set1_epi32(static_cast<int>(word));
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    for (int x = 0; x < count; x += 8) {
        float steps[8];
        for (float& step : steps) {
            step = z;
            z += dz;
        }
        const __m256 depths = _mm256_setr_ps(steps[0], steps[1], steps[2], steps[3], steps[4], steps[5], steps[6], steps[7]);
        const __m256i inside = _mm256_cmpgt_epi32(_mm256_set1_epi32(count - x), lane);
        const __m256 old = _mm256_maskload_ps(d + x, inside);
        const __m256i nearer = _mm256_and_si256(_mm256_castps_si256(_mm256_cmp_ps(depths, old, _CMP_LT_OQ)), inside);
        _mm256_maskstore_ps(d + x, nearer, depths);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(px + x), nearer, shade);
    }
}

TINDREL_AVX2 void outline(const float* depth, Color* pixels, std::size_t w, int height, std::uint32_t* jumps,
                          Renderer3DKernels::OutlineRange range) {
    outlineRows(depth, pixels, w, height, jumps, range);
}

} // namespace

const Renderer3DKernels avx2Renderer3DKernels = {span, outline};

#endif
