#pragma once

#include "raster/Image.h"

#include <memory>
#include <string>
#include <vector>

// Lines of text on a dark, translucent panel: what a player lays over its picture. Alpha is
// straight, not premultiplied, so any blender can lay it over. Empty for no lines.
std::unique_ptr<Image> renderTextPanel(const std::vector<std::string>& lines, double fontPixels);
