#pragma once

#include "raster/Color.h"
#include "raster/ImageKernels.h"

#include <cstddef>
#include <cstdint>

// The pixel loops of the warp grids, one output row at a time: for each of cells cells, 8 pixels
// read from the 256 × 256 texture at 16.16 coordinates (u, v) that step by the cell's span each
// pixel. Only bits 16 to 23 of every value count, so values are their low 32 bits. Cell c's
// values are at[c × channels + ch], its steps span[c × channels + ch]: u, v, then
// shadedRow: the light level, giving texel.scale(level);
// tintedRow: the node colour's red, green and blue, giving texel.modulate(tint) with the tint
// (red, blue, green), crossed as GridWarp::renderTinted says.
// The plain loops in GridWarp.cpp define the results; the AVX2 set serves the AVX2 path, and the
// differential tests hold it to the plain loops.
struct WarpKernels {
    static constexpr int shadedChannels = 3;
    static constexpr int tintedChannels = 5;
    using Row = void (*)(Color* out, const Color* texture, int cells, const std::uint32_t* at, const std::uint32_t* span);

    // Moves every node column's values one row down their edges (edge += down), then gives each
    // cell its values at the row's start (the low 32 bits of its left edge) and their steps along
    // the row (an eighth of the way to the right edge). values counts the edges' entries.
    using Step = void (*)(std::int64_t* edge, const std::int64_t* down, std::uint32_t* at, std::uint32_t* span,
                          std::size_t values, int channels);

    Row shadedRow;
    Row tintedRow;
    Step stepEdges;

    // The set for a path of ImageKernels: without a gather, four scalar texel loads per vector
    // left SSE2 no faster than the plain loops (BM_OnPath/5/1 and 6/1), so only AVX2 has a set of
    // its own.
    static const WarpKernels& forPath(ImageKernels::Path path);
    static const WarpKernels& active() { return forPath(ImageKernels::active().path); }
};

// The edge step's loops, one source for every instruction set it is compiled for: integer adds,
// shifts and truncations, the same bytes under any of them.
[[gnu::always_inline]] inline void stepWarpEdges(std::int64_t* __restrict edge, const std::int64_t* __restrict down,
                                                 std::uint32_t* __restrict at, std::uint32_t* __restrict span,
                                                 std::size_t values, int channels) {
    for (std::size_t e = 0; e < values; ++e) edge[e] += down[e];
    const std::size_t cellValues = values - static_cast<std::size_t>(channels);
    for (std::size_t e = 0; e < cellValues; ++e) {
        at[e] = static_cast<std::uint32_t>(edge[e]);
        span[e] = static_cast<std::uint32_t>((edge[e + static_cast<std::size_t>(channels)] - edge[e]) >> 3);
    }
}

extern const WarpKernels referenceWarpKernels;  // GridWarp.cpp
extern const WarpKernels avx2WarpKernels;       // WarpAvx2.cpp, x86-64 only
