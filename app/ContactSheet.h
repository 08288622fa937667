#pragma once

#include "platform/MusicShape.h"
#include "raster/Image.h"
#include "show/Timetable.h"

#include <memory>

class ShowPlan;

// One labelled frame from each scene of a show on one picture, under the show's title, for sharing the show and
// for its README. Rendered offline like any still, so it is the same on every run.
class ContactSheet {
public:
    static std::unique_ptr<Image> make(const ShowPlan& show);
    // The clock of a scene's moment: the time an uninterrupted play reaches it.
    static double momentSeconds(const MusicShape& shape, const TimetableRow::Moment& moment) {
        return shape.secondsAt(moment.order, moment.row);
    }
};
