#pragma once

#include <cstdint>
#include <vector>

// One picture of the show's data: where it is drawn and how to reduce it to 256 colours.
struct PictureAsset {
    const char* name;  // its file name under the data directory, e.g. "Part9/background.pcx"
    int width;
    int height;
    // Its SVG source, relative to the sources directory, e.g. "Part9/background.svg".
    const char* source;
    float dithering = 0.5f;
    // Colours that must survive the palette exactly: pure black under additive layers (black
    // adds nothing), a key colour for keyed pictures. 0xRRGGBB.
    std::vector<std::uint32_t> fixed = {};
};

// Every picture the show loads, in the order they are written.
const std::vector<PictureAsset>& showPictures();

// The program's icon for desktops, 256 × 256, installed beside the program rather than read by
// the show (its name is the icon's file under the icons directory).
const PictureAsset& iconPicture();
