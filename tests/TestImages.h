#pragma once

#include "raster/Image.h"
#include "raster/ImageKernels.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Helpers shared by the tests: images from literal pixels, checksums of drawn ones, and PNG
// files read back.
namespace TestImages {

std::unique_ptr<Image> make(int width, int height, const std::vector<Color>& pixels);
std::vector<Color> pixelsOf(const Image& image);

// CRC-32 (zlib's) of the pixels' bytes in memory order; the size is not part of it. Tables of
// expected pictures hold these, compared through hex() so a failure prints the value a
// maintainer pastes into the row.
std::uint32_t checksum(const Image& image);
std::string hex(std::uint32_t value);  // "0x" and eight lower-case digits

// Runs the plain loops while it lives, then restores whichever set was active: the loops that
// define every result, so pinned pictures do not depend on the processor.
class PlainKernels {
public:
    PlainKernels() { ImageKernels::use(ImageKernels::Path::reference); }
    ~PlainKernels() { ImageKernels::use(before_); }
    PlainKernels(const PlainKernels&) = delete;
    PlainKernels& operator=(const PlainKernels&) = delete;

private:
    ImageKernels::Path before_ = ImageKernels::active().path;
};

struct Png {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // 4 bytes a pixel; alpha 255 where the file has none
    Color at(int x, int y) const;
    bool hasAlpha = false;
};
Png readPng(const std::filesystem::path& path);

// A scratch directory of the test's own, emptied at the start.
std::filesystem::path scratch(const std::string& name);

} // namespace TestImages
