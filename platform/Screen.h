#pragma once

#include "platform/Display.h"
#include "raster/Image.h"

// The image every frame is composed in. Its pixels may be drawn only between lock and update;
// update hands the frame to the display. The frame's memory persists from one frame to the next:
// nothing clears it, so what a scene does not cover shows the previous frame.
// Borrows the display, which must outlive it.
class Screen {
public:
    Screen(int width, int height, Display& display);

    // The frame to compose, until update().
    Image& lock();
    // Presents the frame. Throws std::logic_error when the screen is not locked.
    void update();
    bool locked() const { return locked_; }
    // The frame being composed. Throws std::logic_error when the screen is not locked: drawing
    // outside a frame is a fault of the caller's, never a write into memory nobody shows.
    Image& frame();

    int width() const { return frame_.width(); }
    int height() const { return frame_.height(); }

    // The frame presented last, to be shown again while nothing new is drawn.
    const Image& presented() const { return frame_; }
    void beginFrame() { display_.beginFrame(); }

private:
    Display& display_;
    Image frame_;
    bool locked_ = false;
};
