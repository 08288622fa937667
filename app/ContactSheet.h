#pragma once

#include "raster/Image.h"

#include <memory>

// One labelled frame from each of the nine scenes on one picture, for sharing the show and for
// its README. Rendered offline like any still, so it is the same on every run.
class ContactSheet {
public:
    static std::unique_ptr<Image> make();
};
