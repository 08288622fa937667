#include "raster/ImageKernels.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

bool forcedReference() {
    const char* v = std::getenv("TINDREL_REFERENCE");
    return v && std::strcmp(v, "1") == 0;
}

const ImageKernels* widest() {
    for (ImageKernels::Path p : {ImageKernels::Path::avx2, ImageKernels::Path::sse2})
        if (const ImageKernels* k = ImageKernels::get(p)) return k;
    return &referenceImageKernels;
}

} // namespace

const ImageKernels& ImageKernels::choose() {
    // Racing first callers choose the same set, so whichever store lands is the same.
    const ImageKernels* k = forcedReference() ? &referenceImageKernels : widest();
    const ImageKernels* expected = nullptr;
    chosen.compare_exchange_strong(expected, k, std::memory_order_relaxed);
    return *chosen.load(std::memory_order_relaxed);
}

const ImageKernels* ImageKernels::get(Path path) {
    switch (path) {
    case Path::reference: return &referenceImageKernels;
#if defined(__x86_64__)
    case Path::sse2: return &sse2ImageKernels;
    case Path::avx2: return __builtin_cpu_supports("avx2") ? &avx2ImageKernels : nullptr;
#elif defined(TINDREL_SSE2)
    // A module built for SIMD runs only where the browser has it.
    case Path::sse2: return &sse2ImageKernels;
    default: return nullptr;
#else
    default: return nullptr;
#endif
    }
    return nullptr;
}

bool ImageKernels::use(Path path) {
    const ImageKernels* k = get(path);
    if (k) chosen.store(k, std::memory_order_relaxed);
    return k != nullptr;
}
