#pragma once

#include "platform/MusicShape.h"
#include "raster/DataFolder.h"
#include "raster/Image.h"

#include <memory>

// The frame the show built from data presents when the music is at order and row and the clock reads seconds,
// as in an uninterrupted play from the start: the phase running at that position draws one
// frame. Empty when no scene draws there (past the end, say). It needs no platform at all, so
// every build of the show, on the desktop or in a browser, draws the same bytes.
std::unique_ptr<Image> renderStill(const DataFolder& data, const MusicShape& shape, int order, int row, double seconds);
