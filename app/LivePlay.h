#pragma once

#include <functional>
#include <string>

class LiveMusic;
class Player;
class ShowPlan;

// The show on the desktop, with sound and the player's keys. Returns when the music has played
// out, Escape ends it or q quits.
class LivePlay {
public:
    // How the window shows it.
    struct Options {
        bool fullscreen = true;
        int scale = 0;  // window only; 0 takes the largest whole scale that fits the screen
        bool stats = false;  // one line of frame pacing on standard error at exit
        std::string title;   // the window's
    };
    // The show, loaded when first asked for: after the display has opened, unless the caller
    // has asked already.
    using Load = std::function<ShowPlan&()>;
    // What a studio adds to live play, given the player and its music before the show starts.
    using Attach = std::function<void(Player& player, LiveMusic& music)>;

    // Plays the show over its range, as its viewing says. Throws SdlDisplay::Unavailable when
    // there is no display, LoadError for a missing asset.
    static void run(const Load& show, const Options& options, const Attach& attach = {});
};
