#pragma once

#include "platform/Display.h"
#include "platform/Timer.h"
#include "show/Navigation.h"

#include <string>
#include <vector>

// The text a player lays over its picture: a word on what a key just did, for a moment; the
// display of the position, time, title, rate and state, with the bar of how far the show is;
// the key panel; the banner of what went wrong or is being built.
class PlayerOverlay {
public:
    // How long a message stays over the picture, in seconds of the wall.
    static constexpr double messageSeconds = 1.5;

    // What the display reads, gathered by the player at each showing.
    struct State {
        Place at;
        double seconds = 0.0;  // the show's clock
        int rate = 0;          // frames a second; 0 while not yet measured, not shown paused
        bool paused = false;
        bool looping = false;
        bool muted = false;
        int volume = 100;
        bool pointerAtFoot = false;  // the bar shows then, with or without the display
        std::vector<std::string> banner;
    };

    explicit PlayerOverlay(Timer& wall) : wall_(wall) {}

    void say(std::vector<std::string> lines);
    // The position and the scene's title, said after a seek or a frame step.
    void sayPosition(const Navigation& navigation, Place at, double seconds, bool fine = false);
    void toggleDisplay() { display_ = !display_; }
    void toggleHelp() { help_ = !help_; }
    bool display() const { return display_; }

    Overlay compose(const State& state, const Navigation& navigation) const;

    // "order 3 · row 16   0:14 / 4:44": the position and the song's time there out of its
    // length, to hundredths of a second when fine; "end   4:44 / 4:44" past the last order.
    static std::string positionLine(const MusicShape& shape, Place at, double seconds, bool fine = false);

private:
    Timer& wall_;
    bool display_ = false;
    bool help_ = false;
    std::vector<std::string> message_;
    double messageUntil_ = -1.0;
};
