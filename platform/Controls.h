#pragma once

#include "platform/Keys.h"

#include <vector>

// What a player's keys ask for (the keys themselves are in KeyTable).
enum class Command {
    quit,
    pause,           // pauses, or resumes when paused
    nextOrder,
    previousOrder,
    nextScene,
    previousScene,
    home,
    fullscreen,      // toggles full screen and window
    onScreenDisplay, // toggles the position, time, title and rate over the picture
    mute,            // toggles the sound, never the clock
    help,            // toggles the list of keys
    volumeUp,        // 10 % louder, up to 100 %
    volumeDown,      // 10 % quieter, down to 0
    screenshot,      // keeps the frame on screen as a picture
    frameForward,    // pauses, then one frame (1/60 s of the show) on
    frameBack,       // pauses, then one frame back
    loopScene,       // toggles repeating the scene on screen
    nextRow,         // one row of the music on
    previousRow,     // one row back
    seekBar,         // to the moment of the bar the pointer gives (Controls::barShare)
    escape,          // ends the running phase: read by the frame protocol as Keys, never given here
};

// The keyboard (and mouse) of a live player.
class Controls : public Keys {
public:
    // The commands given since the last call, in the order given.
    virtual std::vector<Command> commands() = 0;
    // Where along the progress bar the pointer gave the last seekBar, as a share of the song.
    virtual double barShare() const { return 0.0; }
    // Whether the pointer rests near the foot of the picture, where the bar then shows.
    virtual bool pointerAtFoot() const { return false; }
    // Whether escape() would read down now, without taking a press away from it.
    virtual bool escapePending() = 0;
    // Sleeps until input arrives or the time is up, so a paused player costs nothing.
    virtual void wait(int milliseconds) = 0;
};
