// The warp grids' pixel loops a whole cell row (8 pixels) at a time with AVX2 and its gather,
// compiled for it function by function; used only where the CPU reports AVX2. The shading
// multiplies two channels per 32-bit lane: blue and red under one factor pair, green under
// another, each product under 2^16.

#include "effects/WarpKernels.h"
#include "raster/Simd.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include <cstdint>

namespace {

// v + k·s for k = 0 … 7, modulo 2^32.
TINDREL_AVX2 __m256i ramp(std::uint32_t v, std::uint32_t s) {
    return _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(v)),
                            _mm256_mullo_epi32(_mm256_set1_epi32(static_cast<int>(s)), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
}

TINDREL_AVX2 __m256i byteOf(__m256i fixed) {
    return _mm256_and_si256(_mm256_srli_epi32(fixed, 16), _mm256_set1_epi32(0xFF));
}

TINDREL_AVX2 __m256i texels(const Color* texture, __m256i u, __m256i v) {
    const __m256i index = _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(v, 8), _mm256_set1_epi32(0xFF00)), byteOf(u));
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(texture), index, 4);
}

// Each 32-bit lane a texel 0xAARRGGBB; blueRed holds per lane the factors for blue (low 16 bits)
// and red (high), green the factor for green in its low 16 bits. Gives (channel × factor) >> 8
// in every channel, alpha 255.
TINDREL_AVX2 __m256i shade(__m256i texel, __m256i blueRed, __m256i green) {
    const __m256i pairs = _mm256_set1_epi32(0x00FF00FF);
    const __m256i br = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_and_si256(texel, pairs), blueRed), 8);
    const __m256i ga =
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi32(texel, 8), pairs), green), 8);
    return _mm256_or_si256(_mm256_or_si256(br, _mm256_slli_epi32(ga, 8)),
                           _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
}

TINDREL_AVX2 void store(Color* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

TINDREL_AVX2 void shadedRow(Color* out, const Color* texture, int cells, const std::uint32_t* at,
                            const std::uint32_t* span) {
    const __m256i black = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    for (int c = 0; c < cells; ++c, at += 3, span += 3, out += 8) {
        const __m256i l = byteOf(ramp(at[2], span[2]));
        // Light 0 scales any texel to opaque black: a dark cell needs no texels, and dark cells
        // are most of a blob warp.
        if (_mm256_testz_si256(l, l)) {
            store(out, black);
            continue;
        }
        const __m256i both = _mm256_or_si256(l, _mm256_slli_epi32(l, 16));
        store(out, shade(texels(texture, ramp(at[0], span[0]), ramp(at[1], span[1])), both, both));
    }
}

TINDREL_AVX2 void tintedRow(Color* out, const Color* texture, int cells, const std::uint32_t* at,
                            const std::uint32_t* span) {
    for (int c = 0; c < cells; ++c, at += 5, span += 5, out += 8) {
        // The tint's blue is the node's green (channel 3), its green the node's blue (channel 4).
        const __m256i blueRed = _mm256_or_si256(byteOf(ramp(at[3], span[3])), _mm256_slli_epi32(byteOf(ramp(at[2], span[2])), 16));
        store(out, shade(texels(texture, ramp(at[0], span[0]), ramp(at[1], span[1])), blueRed, byteOf(ramp(at[4], span[4]))));
    }
}

TINDREL_AVX2 void stepEdges(std::int64_t* edge, const std::int64_t* down, std::uint32_t* at, std::uint32_t* span,
                            std::size_t values, int channels) {
    stepWarpEdges(edge, down, at, span, values, channels);
}

} // namespace

const WarpKernels avx2WarpKernels = {shadedRow, tintedRow, stepEdges};

#endif
