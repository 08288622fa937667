#pragma once

#include "raster/Image.h"

#include <filesystem>

// Writes an image as an 8-bit PNG, RGB or RGBA (the alpha byte as it stands). The output is a
// function of the pixels and the options alone, so offline renders compare byte for byte.
class PngWriter {
public:
    enum class Channels { rgb, rgba };
    // Throws std::runtime_error naming the path when the file cannot be written.
    static void write(const std::filesystem::path& path, const Image& image, Channels channels = Channels::rgb);
};
