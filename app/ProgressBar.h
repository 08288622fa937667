#pragma once

#include "platform/Timer.h"

#include <string>

// A progress line on standard error: on a terminal a bar redrawn a few times a second with the
// count, the rate and the time left; in a log, nothing until the one closing line.
class ProgressBar {
public:
    ProgressBar(std::string label, double total, std::string unit);
    void update(double done);
    // The closing line, with how long it all took.
    void finish(double done, const std::string& note = "");

private:
    std::string line(double done) const;

    std::string label_;
    double total_;
    std::string unit_;
    bool terminal_;
    mutable PreciseTimer watch_;  // from the start
    double drawn_ = -1.0;
};
