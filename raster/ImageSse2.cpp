// Image's per-pixel loops four pixels at a time with SSE2, which every x86-64 CPU has. Each
// loop runs the plain loop on the pixels before the destination reaches a 16-byte boundary and
// on the few after the last whole vector, so the ends cannot differ from it.

#include "raster/ImageKernels.h"
#include "raster/BitCast.h"

#if defined(TINDREL_SSE2)

#include <emmintrin.h>

#include <cstdint>

namespace {

const ImageKernels& plain = referenceImageKernels;

__m128i load(const Color* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void store(Color* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

__m128i alphaBits() { return _mm_set1_epi32(static_cast<int>(0xFF000000u)); }

// (bytes × factor) >> 8 for sixteen bytes, factor 0..255 in every 16-bit lane.
__m128i scaleBytes(__m128i v, __m128i factor) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), factor), 8);
    const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), factor), 8);
    return _mm_packus_epi16(lo, hi);
}

void keyed(Color* d, const Color* s, int n, Color key) {
    int i = ImageKernels::headCount(d, n);
    if (i > 0) plain.keyed(d, s, i, key);
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    const __m128i k = _mm_set1_epi32(static_cast<int>(bitCast<std::uint32_t>(key) & 0x00FFFFFFu));
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = load(s + i);
        const __m128i isKey = _mm_cmpeq_epi32(_mm_and_si128(sv, rgb), k);
        store(d + i, _mm_or_si128(_mm_and_si128(isKey, load(d + i)), _mm_andnot_si128(isKey, sv)));
    }
    if (i < n) plain.keyed(d + i, s + i, n - i, key);
}

void add(Color* d, const Color* s, int n) {
    int i = ImageKernels::headCount(d, n);
    if (i > 0) plain.add(d, s, i);
    for (; i + 4 <= n; i += 4) store(d + i, _mm_or_si128(_mm_adds_epu8(load(d + i), load(s + i)), alphaBits()));
    if (i < n) plain.add(d + i, s + i, n - i);
}

void addScaled(Color* d, const Color* s, int n, int level) {
    int i = ImageKernels::headCount(d, n);
    if (i > 0) plain.addScaled(d, s, i, level);
    const __m128i factor = _mm_set1_epi16(static_cast<short>(level & 0xFF));
    for (; i + 4 <= n; i += 4)
        store(d + i, _mm_or_si128(_mm_adds_epu8(load(d + i), scaleBytes(load(s + i), factor)), alphaBits()));
    if (i < n) plain.addScaled(d + i, s + i, n - i, level);
}

void fade(Color* p, std::size_t n, Color target, std::uint16_t wT, std::uint16_t wP) {
    const int head = ImageKernels::headCount(p, n < 4 ? static_cast<int>(n) : 4);
    if (head > 0) plain.fade(p, static_cast<std::size_t>(head), target, wT, wP);
    // The target's share is the same for every pixel: one 16-bit product per channel.
    auto share = [wT](std::uint8_t channel) { return static_cast<short>((channel * std::uint32_t{wT}) & 0xFFFFu); };
    const __m128i toward = _mm_set_epi16(share(target.a), share(target.r), share(target.g), share(target.b),
                                         share(target.a), share(target.r), share(target.g), share(target.b));
    const __m128i keep = _mm_set1_epi16(static_cast<short>(wP));
    const __m128i zero = _mm_setzero_si128();
    std::size_t i = static_cast<std::size_t>(head);
    for (; i + 4 <= n; i += 4) {
        const __m128i v = load(p + i);
        const __m128i lo = _mm_srli_epi16(_mm_adds_epu16(_mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), keep), toward), 8);
        const __m128i hi = _mm_srli_epi16(_mm_adds_epu16(_mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), keep), toward), 8);
        store(p + i, _mm_packus_epi16(lo, hi));
    }
    if (i < n) plain.fade(p + i, n - i, target, wT, wP);
}

void blend(Color* d, const Color* s, int n, int level) {
    int i = ImageKernels::headCount(d, n);
    if (i > 0) plain.blend(d, s, i, level);
    const __m128i own = _mm_set1_epi16(static_cast<short>((255 - level) & 0xFF));
    const __m128i other = _mm_set1_epi16(static_cast<short>(level & 0xFF));
    // Each share is at most 254, so adding them saturated clamps exactly where the sum would.
    for (; i + 4 <= n; i += 4)
        store(d + i, _mm_or_si128(_mm_adds_epu8(scaleBytes(load(d + i), own), scaleBytes(load(s + i), other)), alphaBits()));
    if (i < n) plain.blend(d + i, s + i, n - i, level);
}

} // namespace

const ImageKernels sse2ImageKernels = {ImageKernels::Path::sse2, keyed, add, addScaled, fade, blend};

#endif
