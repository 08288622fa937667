#pragma once

#include "raster/Image.h"

#include <cstdint>
#include <filesystem>
#include <vector>

// Writes an image as an 8-bit PNG, RGB or RGBA (the alpha byte as it stands). The bytes are a
// function of the pixels and the options alone, so offline renders compare byte for byte (at
// level 1, on processors of one kind: ISA-L compresses the same on every x86 with SSE4.2, but
// differently on older ones and on other architectures; the pixels decoded never differ).
class PngWriter {
public:
    enum class Channels { rgb, rgba };
    // Compression levels, 1 to 12. Level 1 is ISA-L's fastest deflate over rows predicted from
    // the row above: what a long capture wants, several times quicker than zlib's level 1 for files
    // no larger. Levels 2 to 12 are libdeflate's, over each row's best prediction, as libpng
    // picks it: what a picture kept for good wants.
    static constexpr int fast = 1;
    static constexpr int small = 9;

    // The whole file in memory. Throws std::invalid_argument for a level outside 1 to 12.
    static std::vector<std::uint8_t> encode(const Image& image, Channels channels = Channels::rgb,
                                            int compressionLevel = small);

    // Writes to path as OutputFile does ("-" is standard output; a file appears under its name
    // only once complete). Throws std::runtime_error naming the path when it cannot be written.
    static void write(const std::filesystem::path& path, const Image& image, Channels channels = Channels::rgb,
                      int compressionLevel = small);
};
