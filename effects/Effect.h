#pragma once

#include "raster/Image.h"

// A full-frame layer that is its own output image: each draw renders one frame into its pixels
// (or, for an in-place effect, into the image it works on), and the owning scene then composes
// it onto the screen with an ordinary blit.
class Effect : public Image {
public:
    Effect(int w, int h) : Image(w, h) {}
    // t is each effect's own parameter, usually the show's seconds.
    virtual void draw(float /*t*/) {}
};
