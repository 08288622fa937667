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

// Text a player shows over the picture, never in it: a corner of lines, a centred panel, and a
// banner across the foot for what went wrong.
struct Overlay {
    std::vector<std::string> corner;
    std::vector<std::string> panel;
    std::vector<std::string> banner;
    bool empty() const { return corner.empty() && panel.empty() && banner.empty(); }
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
};
