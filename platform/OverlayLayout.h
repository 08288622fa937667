#pragma once

#include "platform/Display.h"

#include <string>
#include <vector>

// Where an overlay's text and bar go on a picture of a given size, in the picture's pixels.
// The text is sized to the picture and never leaves it: each block takes the largest font that
// fits, from a size that grows with the picture down to a least one; a line still too wide
// loses its last words for "…", and lines that find no room are left out, the last first.
// The corner and the message below it stand at the top left, the banner above the bar at the
// foot, and the key panel between the two, so none covers another.
struct OverlayLayout {
    struct Block {
        std::vector<std::string> lines;  // empty: nothing to draw
        int font = 0;                    // pixels
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };
    Block corner;
    Block message;
    Block panel;
    Block banner;
    int bar = 0;  // the bar's height at the foot; 0 for none

    static constexpr int leastFont = 7;
    static OverlayLayout of(const Overlay& overlay, int width, int height);
};
