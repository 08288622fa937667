#pragma once

#include "raster/Image.h"

#include <string>
#include <vector>

// Where finished frames go: a window, a file, a test's memory. The frame is lent for the
// duration of the call only.
class Display {
public:
    virtual ~Display() = default;
    virtual void present(const Image& frame) = 0;
    // A frame is about to be drawn: its time runs from here to its present.
    virtual void beginFrame() {}
};

// Text a player shows over the picture, never in it: a corner of lines, a centred panel, a
// banner across the foot for what went wrong, a short word on what a key just did, and a thin
// bar across the very foot for how far the show is.
struct Overlay {
    std::vector<std::string> corner;
    std::vector<std::string> panel;
    std::vector<std::string> banner;
    std::vector<std::string> message;  // shown for a moment, below the corner's lines
    double progress = -1.0;            // the share of the song played, 0 to 1; negative: no bar
    std::vector<double> marks;         // where each scene starts on the bar, as shares of the song
    bool empty() const { return corner.empty() && panel.empty() && banner.empty() && message.empty() && progress < 0.0; }
};

// A player's screen: a window that can go full screen and show text over the frame.
class PlayerWindow : public Display {
public:
    void present(const Image& frame) override { show(frame, Overlay{}); }
    // Shows the frame, letterboxed, with the overlay drawn over it at the window's resolution.
    virtual void show(const Image& frame, const Overlay& overlay) = 0;
    virtual void toggleFullscreen() = 0;
    // The display's refresh period, for telling a late frame.
    virtual double refreshSeconds() const = 0;
    // Keeps the frame as a picture under the name (tindrel-ORDER-ROW.png): a file beside the
    // user, or a download. Says where it went, for the player's message, or nothing where a
    // window keeps none; throws what a write throws.
    virtual std::string screenshot(const Image&, const std::string&) { return {}; }
};
