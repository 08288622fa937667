#pragma once

#include "raster/Color.h"
#include "raster/ImageKernels.h"

// The light rays' pass over a row that reads another, finished row: each pixel is blended with a
// source pixel a little closer to the centre column. The plain loop in LightSpot.cpp defines the
// result; the vector sets copy the sources into a scratch row stretch by stretch (a source's
// offset holds for whole stretches of columns) and blend it in one pass with their own path's
// ImageKernels::blend. The differential tests hold them to the plain loop.
struct LightSpotKernels {
    // What a row's pass needs besides its pixels. level: the source's weight out of 256 (low
    // 8 bits); step: 16.16, within 0 … 65535. The left run walks from the centre column to 0,
    // the right run from centre + 1 to the edge, its accumulator starting at rightStart, 0 or
    // step: sources stay within the row.
    struct Rays {
        int width;
        int centre;
        int level;
        int step;
        int rightStart;
    };
    // dst and src are width pixels, distinct rows; scratch holds width pixels.
    using Row = void (*)(Color* dst, const Color* src, const Rays& rays, Color* scratch);

    Row finishedRow;

    // The set for a path of ImageKernels: the plain loop, or gathering and that path's blend. All
    // of them live in LightSpot.cpp, as the vector part is ImageKernels' own.
    static const LightSpotKernels& forPath(ImageKernels::Path path);
    static const LightSpotKernels& active() { return forPath(ImageKernels::active().path); }
};
