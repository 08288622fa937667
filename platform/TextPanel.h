#pragma once

#include "raster/Image.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The panel's font at a size: every character is as wide as the next (a monospaced face), so a
// panel's size follows from its lines without drawing them.
struct PanelFont {
    double advance = 0.0;     // a character's width, in pixels
    double lineHeight = 0.0;  // from one line's baseline to the next
    double pad = 0.0;         // around the text, on every side
};
PanelFont panelFont(int fontPixels);

// The pixels a panel of these lines takes at that size: width, then height.
struct PanelSize {
    int width = 0;
    int height = 0;
};
PanelSize panelSize(const std::vector<std::string>& lines, int fontPixels);

// Characters in a line of UTF-8, as the panel's font sets them.
std::size_t characters(const std::string& line);

// Lines of text on a translucent panel of a dark colour (0xRRGGBB): what a player lays over its
// picture, panelSize() large. Alpha is straight, not premultiplied, so any blender can lay it
// over. Null for no lines.
std::unique_ptr<Image> renderTextPanel(const std::vector<std::string>& lines, int fontPixels,
                                       std::uint32_t background = 0x000000);
