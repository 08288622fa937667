#pragma once

#include "platform/Music.h"
#include "platform/Timer.h"

// One reading of the show's clocks. A frame takes one at its top and keeps to it for every
// test and every draw, so no frame mixes two rows of the music.
struct Position {
    int order;       // 0 to 65535: the entry of the module's order list playing
    int row;         // 0 to 65535: the row of that order's pattern
    double seconds;  // since the show began, for smooth motion
};

// What the scenes hold: seconds since the show began, for smooth motion, and the music's order
// and row, which decide when phases and scenes change. Nothing is cached: every reading asks
// the music and the timer anew. Borrows the music and the timer, which must outlive it.
class DemoClock {
public:
    enum class Start {
        onReset,  // live: seconds count from the last reset (the opening scene resets once)
        fixedAtZero  // offline: the timer already reads show time, so reset leaves it alone
    };

    DemoClock(Music& music, Timer& timer, Start start = Start::onReset);

    void reset();
    // The music's position is read once, so order and row always belong together.
    Position now();
    double seconds();

private:
    Music& music_;
    Timer& timer_;
    Start mode_;
    float start_ = 0.0f;
};
