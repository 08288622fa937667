#pragma once

#include "raster/Color.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

// SSE2's loops build for x86-64, and for WebAssembly's 128-bit SIMD through emscripten's SSE2
// headers (-msimd128 -msse2), which map each intrinsic onto the same bytes.
#if defined(__x86_64__) || (defined(__EMSCRIPTEN__) && defined(__wasm_simd128__) && defined(__SSE2__))
#define TINDREL_SSE2 1
#endif

// The per-pixel loops behind Image's operations and the light rays' blend, one run of pixels at a
// time. The plain loops in Image.cpp define every result; the vector sets must match them byte
// for byte, which the differential tests check on random images.
//
// active() is the one dispatch point: chosen once per process, the widest set this CPU runs,
// unless the environment sets TINDREL_REFERENCE=1, which forces the plain loops everywhere. The
// kernel tables of the effects and the 3D renderer follow its path, each through a forPath() of
// its own, so that switch and use() reach every vector loop in the program.
struct ImageKernels {
    enum class Path { reference, sse2, avx2 };

    Path path;
    // Copies source pixels whose red, green and blue differ from the key's.
    void (*keyed)(Color* dst, const Color* src, int count, Color key);
    void (*add)(Color* dst, const Color* src, int count);
    void (*addScaled)(Color* dst, const Color* src, int count, int level);
    // Every byte: ((old × keep) & 0xFFFF) + ((target × toward) & 0xFFFF), saturated, >> 8.
    void (*fade)(Color* pixels, std::size_t count, Color target, std::uint16_t toward, std::uint16_t keep);
    // dst.scale(255 − level).addSaturate(src.scale(level)); src may not overlap dst's run.
    void (*blend)(Color* dst, const Color* src, int count, int level);

    // Inline: the 3D spans ask once per row.
    // Pixels before dst sits on a 16-byte boundary, at most count; none if it never can. The
    // vector sets run the plain loop on these, so their own loads and stores start aligned.
    static int headCount(const Color* dst, int count) {
        const auto address = reinterpret_cast<std::uintptr_t>(dst);
        if (address % sizeof(Color) != 0) return 0;
        const int head = static_cast<int>((16 - address % 16) % 16 / sizeof(Color));
        return head < count ? head : count;
    }

    static const ImageKernels& active() {
        const ImageKernels* k = chosen.load(std::memory_order_relaxed);
        return k ? *k : choose();
    }
    // Null where the CPU (or the build) cannot run the set.
    static const ImageKernels* get(Path path);
    // Makes another set active for the rest of the process, or until the next call: the
    // differential tests run both sides through the public operations. False if unavailable.
    static bool use(Path path);

private:
    static const ImageKernels& choose();
    // Null until the first choice; constant-initialised, so no static constructor can see it
    // unset and another set at once.
    static inline std::atomic<const ImageKernels*> chosen{nullptr};
};

// The sets themselves, for the dispatch point and for the scalar ends of the vector loops.
extern const ImageKernels referenceImageKernels;  // Image.cpp
extern const ImageKernels sse2ImageKernels;       // ImageSse2.cpp, where TINDREL_SSE2
extern const ImageKernels avx2ImageKernels;       // ImageAvx2.cpp, x86-64 only
