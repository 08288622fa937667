#pragma once

#include "raster/Image.h"

#include <filesystem>

// Writes an image as an 8-bit PNG, RGB or RGBA (the alpha byte as it stands). The bytes are a
// function of the pixels and the options alone, so offline renders compare byte for byte.
class PngWriter {
public:
    enum class Channels { rgb, rgba };
    // zlib's levels: 1 is what a long capture wants, 9 what a picture kept for good wants.
    static constexpr int fast = 1;
    static constexpr int small = 9;

    // Writes to path as OutputFile does ("-" is standard output; a file appears under its name
    // only once complete). Throws std::runtime_error naming the path when it cannot be written.
    static void write(const std::filesystem::path& path, const Image& image, Channels channels = Channels::rgb,
                      int compressionLevel = small);
};
