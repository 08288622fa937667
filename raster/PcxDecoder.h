#pragma once

#include "raster/Image.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

// 8-bit, one-plane, run-length-encoded PCX with a 256-colour palette after marker 12 at the end.
// Pixels come out as Color(red, green, blue, 0). Data that stops short reads as index 255.
class PcxDecoder {
public:
    // Sizes above these are refused rather than allocated: no picture of the show comes near
    // them, and a few bytes of header must not cost a gigabyte.
    static constexpr int maxSide = 16384;
    static constexpr long long maxPixels = 4096LL * 4096;

    // Throws LoadError(name, "Error reading from file") for a short header, a version other
    // than 5, a depth other than 8 bits, a missing palette marker or an impossible size.
    static std::unique_ptr<Image> decode(const std::string& name, std::span<const std::uint8_t> bytes);
};
