#pragma once

#include "raster/Image.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Lines of text on a translucent panel of a dark colour (0xRRGGBB): what a player lays over its
// picture. Alpha is straight, not premultiplied, so any blender can lay it over. Null for no lines.
std::unique_ptr<Image> renderTextPanel(const std::vector<std::string>& lines, double fontPixels,
                                       std::uint32_t background = 0x000000);
