#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One picture of the show's data: where it is drawn and how to reduce it to 256 colours.
struct PictureAsset {
    std::string name;  // its file name under the data directory, e.g. "Part9/background.pcx"
    int width;
    int height;
    // Its SVG source, relative to the sources directory, e.g. "Part9/background.svg".
    std::string source;
    float dithering = 0.5f;
    // Colours that must survive the palette exactly: pure black under additive layers (black
    // adds nothing), a key colour for keyed pictures. 0xRRGGBB.
    std::vector<std::uint32_t> fixed = {};
};

// Every picture the program's own show loads, in the order they are written.
const std::vector<PictureAsset>& showPictures();

// The program's icon for desktops, 256 × 256, installed beside the program rather than read by
// the show (its name is the icon's file under the icons directory).
const PictureAsset& iconPicture();
