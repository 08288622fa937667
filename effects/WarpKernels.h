#pragma once

#include "raster/Color.h"

#include <cstdint>

// The pixel loops of the warp grids, one output row at a time: for each of cells cells, 8 pixels
// read from the 256 × 256 texture at 16.16 coordinates (u, v) that step by the cell's span each
// pixel. Only bits 16 to 23 of every value count, so values are their low 32 bits. Cell c's
// values are at[c × channels + ch], its steps span[c × channels + ch]: u, v, then
// shadedRow: the light level, giving texel.scale(level);
// tintedRow: the node colour's red, green and blue, giving texel.modulate(tint) with the tint
// (red, blue, green), crossed as GridWarp::renderTinted says.
// The plain loops in GridWarp.cpp define the results; the AVX2 set serves where
// ImageKernels::active() chose AVX2, and the differential tests hold it to the plain loops.
struct WarpKernels {
    static constexpr int shadedChannels = 3;
    static constexpr int tintedChannels = 5;
    using Row = void (*)(Color* out, const Color* texture, int cells, const std::uint32_t* at, const std::uint32_t* span);

    Row shadedRow;
    Row tintedRow;

    static const WarpKernels& active();
};

extern const WarpKernels referenceWarpKernels;  // GridWarp.cpp
extern const WarpKernels avx2WarpKernels;       // WarpAvx2.cpp, x86-64 only
