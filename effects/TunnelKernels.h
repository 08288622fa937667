#pragma once

#include "raster/Color.h"
#include "raster/ImageKernels.h"

#include <cstddef>
#include <cstdint>

// The tunnel's texel reads, one output row at a time: out[x] is the texel of the 256 × 256
// texture at column sums[2x] and row sums[2x + 1], the row's summed byte pairs. The plain loop
// in Tunnel.cpp defines the result; the AVX2 set serves the AVX2 path, and the differential
// tests hold it to the plain loop.
struct TunnelKernels {
    using Texels = void (*)(Color* out, const Color* texture, const std::uint8_t* sums, std::size_t count);

    Texels texels;

    // The set for a path of ImageKernels. SSE2 has no gather, so it keeps the plain loop.
    static const TunnelKernels& forPath(ImageKernels::Path path);
    static const TunnelKernels& active() { return forPath(ImageKernels::active().path); }
};

extern const TunnelKernels referenceTunnelKernels;  // Tunnel.cpp
extern const TunnelKernels avx2TunnelKernels;       // TunnelAvx2.cpp, x86-64 only
