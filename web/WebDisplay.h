#pragma once

#include "platform/Display.h"
#include "raster/Image.h"

#include <cstdint>
#include <string>
#include <vector>

// The page's canvas as a player's window: each frame is handed to the canvas as it is shown.
// The text of the overlay is laid over the canvas by the page, at the screen's resolution, never
// into the frame. Full screen is the page's, through the browser.
class WebDisplay : public PlayerWindow {
public:
    void show(const Image& frame, const Overlay& overlay) override;
    void toggleFullscreen() override;
    double refreshSeconds() const override;
    std::string screenshot(const Image& frame, const std::string& name) override;

    // The frame alone, at once: a still, which nothing follows.
    void draw(const Image& frame);

private:
    // The canvas takes red, green, blue, alpha in memory order; ours are blue, green, red, alpha.
    const std::uint8_t* toCanvas(const Image& frame);

    std::vector<std::uint32_t> rgba_;
    std::string overlay_;
};
