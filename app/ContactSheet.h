#pragma once

#include "raster/DataFolder.h"
#include "raster/Image.h"

#include <memory>

// One labelled frame from each scene of the timetable on one picture, for sharing the show and
// for its README. Rendered offline like any still, so it is the same on every run.
class ContactSheet {
public:
    static std::unique_ptr<Image> make(const DataFolder& data);
};
