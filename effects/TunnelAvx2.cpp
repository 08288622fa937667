// The tunnel's texel reads eight at a time with the AVX2 gather, compiled for it function by
// function; used only where the CPU reports AVX2.

#include "effects/TunnelKernels.h"
#include "raster/Simd.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace {

// Each byte pair, read as a little-endian 16-bit number, is the texel's index (row × 256 +
// column), which the gather takes as it is.
TINDREL_AVX2 void texels(Color* out, const Color* texture, const std::uint8_t* sums, std::size_t count) {
    const int* words = reinterpret_cast<const int*>(texture);
    std::size_t x = 0;
    for (; x + 8 <= count; x += 8) {
        const __m256i index = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + 2 * x)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_i32gather_epi32(words, index, 4));
    }
    referenceTunnelKernels.texels(out + x, texture, sums + 2 * x, count - x);
}

} // namespace

const TunnelKernels avx2TunnelKernels = {texels};

#endif
