#pragma once

#include "raster/Image.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// One source built alone, so it can be looked at without the effect that bends it: a texture
// program (X.tex.txt), an SVG and an object (X.lwo.txt), each from anywhere. An SVG that is one
// of the show's pictures, known by its place in a folder of sources (.../Part8/background.svg),
// is drawn at that picture's size and reduced to its 256 colours; any other is a draft, drawn
// as a background is, 600 × 300. An object is drawn as the show draws its objects, lit and
// outlined, from three angles side by side.
namespace SourcePreview {

bool previews(const std::filesystem::path& source);

// Throws std::runtime_error "FILE:LINE: what" for a mistake in the source.
std::unique_ptr<Image> picture(const std::filesystem::path& source);

} // namespace SourcePreview
