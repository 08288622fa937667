#pragma once

#include "platform/Timer.h"

#include <optional>

// Keeps white flashes from coming in storms: however fast seeks come (a held key, swipes, the
// wheel), a flash that starts less than minimumGap of played time after the last one shown is
// skipped, all of it, so at most two reach the screen in any second.
//
// A flash starts on a frame whose whitening rises by more than a fade's step from the frame
// before, or that a seek lands on whitened; a fade to white, which rises a little each frame, is
// none. Time is the show's own, counted by frames drawn, where a seek's jump of the clock adds
// nothing, so flashes met by seeks are as far apart as the frames between them; where the show
// plays live the wall's time counts as well, so a pause passes like any time.
class FlashGuard {
public:
    static constexpr double minimumGap = 0.5;
    // More than a fade to white rises in a frame, less than any flash opens with.
    static constexpr double flashRise = 0.1;
    // The longest a frame counts: a clock that jumps further was moved, not played.
    static constexpr double longestFrame = 0.25;

    // Counts the wall's time too from now on: live play.
    void timeBy(Timer& wall) { wall_ = &wall; }
    // A frame begins at the show's clock reading; entered says play was moved there (a seek, a
    // scene entered anew) since the last frame.
    void beginFrame(double seconds, bool entered);
    // The share of the way to white the frame may take, asked for amount.
    double allow(double amount);

private:
    Timer* wall_ = nullptr;
    std::optional<double> lastWall_;
    double played_ = 0.0;
    std::optional<double> lastSeconds_;
    std::optional<double> lastStart_;
    double previous_ = 0.0;  // the whitening the frame before asked for
    double current_ = 0.0;
    bool skipping_ = false;
};
