#pragma once

#include "engine3d/Renderer3D.h"
#include "raster/Color.h"
#include "raster/ImageKernels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

// The 3D renderer's per-pixel loops: the depth-tested span and the outline pass. The plain loops
// in Renderer3D.cpp define the results; the AVX2 set serves the AVX2 path, and the differential
// tests hold it to the plain loops.
struct Renderer3DKernels {
    // Where an outline can fall, in rows [top, bottom) and three column ranges, half-open: jumps
    // from above are looked for in [upFrom, upTo), jumps from the left in [leftFrom, leftTo), both
    // within the tested interior 1 … width − 2, and pixels painted in [paintFrom, paintTo).
    struct OutlineRange {
        int top, bottom;
        std::size_t upFrom, upTo, leftFrom, leftTo, paintFrom, paintTo;
    };

    // count pixels from depth and pixels on, the depth z at the first and each next one dz
    // further by one float addition; a pixel takes z and color only where z is strictly nearer.
    using Span = void (*)(float* depth, Color* pixels, int count, float z, float dz, Color color);
    // Whitens pixels where depth jumps by more than Renderer3D::outlineThreshold between
    // neighbours, within range; jumps is scratch of 4 × (width + 2) flags.
    using Outline = void (*)(const float* depth, Color* pixels, std::size_t width, int height, std::uint32_t* jumps,
                             OutlineRange range);

    Span span;
    Outline outline;

    // The set for a path of ImageKernels. The span's masked stores need AVX2 and the plain
    // outline already vectorises for SSE2, so only AVX2 has a set of its own.
    static const Renderer3DKernels& forPath(ImageKernels::Path path);
    static const Renderer3DKernels& active() { return forPath(ImageKernels::active().path); }
};

// The outline's pass, one source for both sets: its loops are plain comparisons and selects,
// so the wider build gives the same bytes.
[[gnu::always_inline]] inline void outlineRows(const float* depth, Color* pixels, std::size_t w, int height,
                                               std::uint32_t* jumps, Renderer3DKernels::OutlineRange range) {
    // A tested pixel (x, y) with a jump from above whitens (x, y − 1 … y + 1); one with a jump
    // from the left whitens (x − 1 … x + 1, y). Only depth is read, so the order of visiting
    // cannot matter, and each pixel can instead ask whether any of the six jumps that reach it
    // fired: from above at (x, y − 1), (x, y), (x, y + 1), from the left at (x − 1, y), (x, y),
    // (x + 1, y). Every loop below then runs without branches and vectorises, where painting
    // jump by jump stalled on a mispredicted branch at every band edge.
    std::fill_n(jumps, 4 * (w + 2), 0u);
    // Four rows of flags, each padded by one entry at both ends so x − 1 and x + 1 stay inside.
    // Untested pixels (the outermost rows and columns) keep flag 0.
    std::uint32_t* upAbove = jumps + 1;           // jumps from above found in row y − 1
    std::uint32_t* upHere = upAbove + (w + 2);    // ... in row y
    std::uint32_t* upBelow = upHere + (w + 2);    // ... in row y + 1
    std::uint32_t* fromLeft = upBelow + (w + 2);  // jumps from the left in row y
    const std::uint32_t* fromLeftBefore = fromLeft - 1;  // entry x is the one for x − 1
    const std::uint32_t* fromLeftAfter = fromLeft + 1;   // entry x is the one for x + 1
    auto jump = [](float a, float b) { return std::fabs(a - b) > Renderer3D::outlineThreshold ? 1u : 0u; };

    // Flags outside the range's columns stay 0 from the fill: no jump can be found there.
    for (int y = range.top; y < range.bottom; ++y) {
        if (y + 1 <= height - 2) {
            const float* d = depth + static_cast<std::size_t>(y + 1) * w;
            const float* above = d - w;
            for (std::size_t x = range.upFrom; x < range.upTo; ++x) upBelow[x] = jump(d[x], above[x]);
        } else {
            std::fill(upBelow + range.upFrom, upBelow + range.upTo, 0u);
        }
        if (y >= 1 && y <= height - 2) {
            const float* d = depth + static_cast<std::size_t>(y) * w;
            for (std::size_t x = range.leftFrom; x < range.leftTo; ++x) fromLeft[x] = jump(d[x], d[x - 1]);
        } else {
            std::fill(fromLeft + range.leftFrom, fromLeft + range.leftTo, 0u);
        }
        Color* px = pixels + static_cast<std::size_t>(y) * w;
        for (std::size_t x = range.paintFrom; x < range.paintTo; ++x) {
            const std::uint32_t hit =
                upAbove[x] | upHere[x] | upBelow[x] | fromLeftBefore[x] | fromLeft[x] | fromLeftAfter[x];
            // As a 32-bit word, so the select needs no branch: all ones is white with alpha 255.
            std::uint32_t bits;
            std::memcpy(&bits, &px[x], sizeof bits);
            bits = hit ? 0xFFFFFFFFu : bits;
            std::memcpy(static_cast<void*>(&px[x]), &bits, sizeof bits);
        }
        std::uint32_t* reused = upAbove;
        upAbove = upHere;
        upHere = upBelow;
        upBelow = reused;
    }
}

extern const Renderer3DKernels referenceRenderer3DKernels;  // Renderer3D.cpp
extern const Renderer3DKernels avx2Renderer3DKernels;       // Renderer3DAvx2.cpp, x86-64 only
