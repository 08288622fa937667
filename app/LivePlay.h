#pragma once

// The show on the desktop, with sound. Returns when the music has played out or Escape ends it.
class LivePlay {
public:
    struct Options {
        bool fullscreen = true;
        int scale = 2;
        int from = 0;
        bool loop = false;  // start over when the music ends, until Escape
        bool mute = false;  // the timing of the sound without the sound
    };
    // Throws SdlDisplay::Unavailable when there is no display, LoadError for a missing asset.
    static void run(const Options& options);
};
