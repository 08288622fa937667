#pragma once

#include "raster/Image.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Helpers shared by the tests: images from literal pixels, and PNG files read back.
namespace TestImages {

std::unique_ptr<Image> make(int width, int height, const std::vector<Color>& pixels);
std::vector<Color> pixelsOf(const Image& image);

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
