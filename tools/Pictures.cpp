#include "tools/Pictures.h"

const std::vector<PictureAsset>& showPictures() {
    // Additive layers stand on pure black, kept exact so they add nothing where they are empty.
    static const std::vector<PictureAsset> all = {
        {"Part1/logolight.pcx", 600, 300, "Part1/logolight.svg", 0.3f, {0x000000}},
        {"Part1/background.pcx", 600, 300, "Part1/background.svg"},
        {"Part2/star.pcx", 600, 300, "Part2/star.svg"},
        {"Part3/background.pcx", 600, 300, "Part3/background.svg"},
        {"Part3/scroll.pcx", 450, 1255, "Part3/scroll.svg", 0.3f, {0x000000}},
        {"Part3/dots.pcx", 600, 300, "Part3/dots.svg", 0.3f, {0x000000}},
        {"Part3/dots2.pcx", 600, 300, "Part3/dots2.svg", 0.3f, {0x000000}},
        {"Part4/background.pcx", 600, 300, "Part4/background.svg"},
        {"Part5/background.pcx", 600, 300, "Part5/background.svg"},
        // Undithered, so no key pixel is ever scattered inside the figure.
        {"Part5/gubbe.pcx", 200, 240, "Part5/gubbe.svg", 0.0f, {0x04FC04}},
        {"Part6/background.pcx", 600, 300, "Part6/background.svg"},
        {"Part6/logo.pcx", 600, 45, "Part6/logo.svg", 0.3f, {0x000000}},
        {"Part7/background.pcx", 600, 300, "Part7/background.svg"},
        {"Part7/disco.pcx", 220, 300, "Part7/disco.svg", 0.3f, {0x000000}},
        {"Part8/background.pcx", 600, 300, "Part8/background.svg"},
        {"Part9/background.pcx", 600, 300, "Part9/background.svg"},
    };
    return all;
}

const PictureAsset& iconPicture() {
    static const PictureAsset icon = {"tindrel.png", 256, 256, "icon.svg"};
    return icon;
}
