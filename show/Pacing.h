#pragma once

#include "platform/Timer.h"

#include <string>
#include <vector>

// How the frames keep time, on the wall's clock: the work of each, from its top to its present;
// the gaps between presents that missed a display refresh; the rate the display shows.
class Pacing {
public:
    explicit Pacing(Timer& wall) : wall_(wall), rateMark_(wall.seconds()) {}

    // A frame is about to be drawn.
    void beginFrame() { frameTop_ = wall_.seconds(); }
    // Its work is done: it is about to be shown.
    void drawn() { workMilliseconds_.push_back((wall_.seconds() - frameTop_) * 1000.0); }
    // It was shown; refreshSeconds is the display's period.
    void shown(double refreshSeconds);
    // The next gap says nothing of pacing: a seek came between.
    void gap() { lastShown_ = -1.0; }
    // Time spent paused is nobody's late frame, nor part of a rate.
    void resumed();

    // Frames a second as last measured; 0 until the first measure.
    int rate() const { return rate_; }
    // "frames 640, work per frame p50 0.4 ms, p99 2.1 ms, max 3.0 ms; frames late 2 (a
    // refresh missed)".
    std::string statsLine() const;

private:
    Timer& wall_;
    double frameTop_ = 0.0;
    double lastShown_ = -1.0;  // negative when the next interval says nothing of pacing
    std::vector<double> workMilliseconds_;
    int late_ = 0;
    double rateMark_;
    int rateFrames_ = 0;
    int rate_ = 0;
};
