#pragma once

#include "raster/Image.h"

#include <memory>

class ShowPlan;

// The frame the show presents when the music is at order and row and the clock reads seconds,
// as in an uninterrupted play from the start: the phase running at that position draws one
// frame. Empty when no scene draws there (past the end, say). It needs no platform at all, so
// every build of the show, on the desktop or in a browser, draws the same bytes.
std::unique_ptr<Image> renderStill(const ShowPlan& show, int order, int row, double seconds);
