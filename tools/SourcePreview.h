#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// One source built alone into the data file the show would load from it, so it can be looked
// at without the effect that bends it: a texture program (X.tex.txt) from anywhere, or an SVG
// that is one of the show's pictures, known by its place in a folder of sources
// (.../Part8/background.svg), drawn at that picture's size and reduced to its 256 colours.
namespace SourcePreview {

bool previews(const std::filesystem::path& source);

struct Data {
    std::string name;  // the data file's name, which tells its decoder: "texture.tex", "Part8/background.pcx"
    std::vector<std::uint8_t> bytes;
};

// Throws std::runtime_error "FILE:LINE: what" for a mistake in the source, and for an SVG that
// is none of the show's pictures.
Data build(const std::filesystem::path& source);

} // namespace SourcePreview
