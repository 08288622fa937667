#pragma once

#include "platform/Music.h"
#include "platform/Timer.h"

// What the scenes hold: seconds since the show began, for smooth motion, and the music's order
// and row, which decide when phases and scenes change. Nothing is cached: every call asks anew.
// Borrows the music and the timer, which must outlive it.
class DemoClock {
public:
    enum class Start {
        onReset,  // live: seconds count from the last reset (the opening scene resets once)
        fixedAtZero  // offline: the timer already reads show time, so reset leaves it alone
    };

    DemoClock(Music& music, Timer& timer, Start start = Start::onReset);

    void reset();
    double seconds();
    int order() { return music_.order(); }
    int row() { return music_.row(); }

private:
    Music& music_;
    Timer& timer_;
    Start mode_;
    float start_ = 0.0f;
};
