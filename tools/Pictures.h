#pragma once

#include "tools/Canvas.h"

#include <cstdint>
#include <vector>

// One picture of the show's data: how to draw it and how to reduce it to 256 colours.
struct PictureAsset {
    const char* name;  // its file name under the data directory, e.g. "Part9/background.pcx"
    int width;
    int height;
    void (*draw)(Canvas&);
    float dithering = 0.5f;
    // Colours that must survive the palette exactly: pure black under additive layers (black
    // adds nothing), a key colour for keyed pictures. 0xRRGGBB.
    std::vector<std::uint32_t> fixed = {};
};

// Every picture the show loads, in the order they are written.
const std::vector<PictureAsset>& showPictures();

// The show's pictures, each drawn from shapes and type onto a fresh canvas of its size.
namespace Pictures {
// The program's icon for desktops, 256 × 256: the name's initial on the show's night sky.
void icon(Canvas& canvas);
// Part1/logolight.pcx: the name as bright strokes on pure black, for the light rays to smear.
void openingLogo(Canvas& canvas);
// Part1/background.pcx: a dark sky over a glowing horizon, under the rays.
void openingSky(Canvas& canvas);
// Part2/star.pcx: a faceted star with a long flare over a dark field; the blob warp adds light over it.
void burst(Canvas& canvas);
// Part3/background.pcx: a calm dark backdrop behind the credits column.
void scrollBackdrop(Canvas& canvas);
// Part3/scroll.pcx: the credits and greetings, several screens tall, on pure black.
void credits(Canvas& canvas);
// Part3/dots.pcx and Part3/dots2.pcx: dim halftone dots on pure black that roll vertically without a
// seam and cross-fade into each other.
void dots(Canvas& canvas);
void dots2(Canvas& canvas);
// Part4/background.pcx: a dark horizon and floor grid for the tumbling star, a calm pane on the right
// for the three arrows.
void starHorizon(Canvas& canvas);
// Part5/background.pcx: faint swells and a lattice behind the riding cubes.
void waveBackdrop(Canvas& canvas);
// Part5/gubbe.pcx: the night owl, a DJ standing at the left, on the exact key colour (4, 252, 4).
void nightOwl(Canvas& canvas);
// Part7/background.pcx: a lit stage for the wobbling object on the left, a rimmed window for the
// tunnel on the right.
void stage(Canvas& canvas);
// Part7/disco.pcx: a mirror ball, its beams and thrown spots on pure black, added over the tunnel.
void mirrorBall(Canvas& canvas);
// Part6/background.pcx: rails and small type above and below the warp band.
void warpFrame(Canvas& canvas);
// Part6/logo.pcx: the name as a bright strip on pure black, added at the foot of the frame.
void logoStrip(Canvas& canvas);
// Part8/background.pcx: a panel of its own on the left, near black where the wave warp adds light.
void sidePanel(Canvas& canvas);
// Part9/background.pcx: the farewell under a night sky, the last thing the audience sees.
void closing(Canvas& canvas);
} // namespace Pictures
