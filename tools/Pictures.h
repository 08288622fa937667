#pragma once

#include "tools/Canvas.h"

// The show's pictures, each drawn from shapes and type onto a fresh canvas of its size.
namespace Pictures {
// Part1/logolight.pcx: the name as bright strokes on pure black, for the light rays to smear.
void openingLogo(Canvas& canvas);
// Part1/background.pcx: a dark sky over a glowing horizon, under the rays.
void openingSky(Canvas& canvas);
// Part9/background.pcx: the farewell under a night sky, the last thing the audience sees.
void closing(Canvas& canvas);
} // namespace Pictures
