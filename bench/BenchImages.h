#pragma once

#include "raster/Image.h"

#include <cstdint>

// The frame size every pass over a frame is measured at, and pixels from a fixed sequence: no
// run or key colour a loop could take a short cut on, the same on every run.
namespace bench {

constexpr int W = 600;
constexpr int H = 300;

inline void fillPattern(Image& img, std::uint32_t seed) {
    for (std::size_t i = 0; i < img.pixelCount(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        img.pixels()[i] = Color(static_cast<int>(seed >> 24), static_cast<int>(seed >> 16), static_cast<int>(seed >> 8), 0);
    }
}

} // namespace bench
