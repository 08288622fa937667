#pragma once

#include "raster/DataFolder.h"

#include <functional>

class LiveMusic;
class Player;

// The show on the desktop, with sound and the player's keys. Returns when the music has played
// out, Escape ends it or q quits.
class LivePlay {
public:
    struct Options {
        bool fullscreen = true;
        int scale = 0;  // window only; 0 takes the largest whole scale that fits the screen
        int from = 0;   // the order play starts at
        int fromRow = 0;
        int to = -1;    // the last order played; -1 to the music's end
        int toRow = -1; // the last row played of that order; -1 all of it
        bool loop = false;   // play from..to again until Escape or q
        bool mute = false;   // the timing of the sound without the sound
        int volume = 100;    // percent
        bool stats = false;  // one line of frame pacing on standard error at exit
        DataFolder data;     // where the show and its music are read from
    };
    // What a studio adds to live play, given the player and its music before the show starts.
    using Attach = std::function<void(Player& player, LiveMusic& music)>;

    // Throws SdlDisplay::Unavailable when there is no display, LoadError for a missing asset.
    static void run(const Options& options, const Attach& attach = {});
};
