#pragma once

#include "tools/Pictures.h"

#include <cstdint>
#include <filesystem>
#include <vector>

// Draws a picture from its SVG source with librsvg, at the picture's size, as bytes red, green,
// blue, alpha (alpha 255) row after row, ready for the quantiser.
//
// A source of another size is scaled to fit, keeping its proportions and centred; whatever it
// leaves uncovered is black, as is everything the SVG itself leaves transparent. Text is set in
// the fonts the SVG names, found through fontconfig (the show's own sources name DejaVu, from
// Debian's fonts-dejavu-core), so the same machine gives the same pixels on every run.
//
// Throws std::runtime_error for a source that is missing or does not parse, its message
// "FILE:LINE: what" where librsvg tells the line, else "FILE: what", FILE being the source as
// the picture names it.
//
// Drawing is held to svgBudgetSeconds of processor time (and six times that in all, however
// busy the machine), refused past it with a message naming the file. The show's own pictures take 0.1 s at most.
inline constexpr int svgBudgetSeconds = 5;
std::vector<std::uint8_t> renderPicture(const PictureAsset& picture, const std::filesystem::path& sourceDir);
