#pragma once

#include "platform/Display.h"
#include "raster/Image.h"

#include <vector>

// The image every frame is composed in. Its pixels exist only between lock and update; update
// hands the frame to the display. The frame's memory persists from one frame to the next:
// nothing clears it, so what a scene does not cover shows the previous frame.
// Borrows the display, which must outlive it.
class Screen : public Image {
public:
    Screen(int width, int height, Display& display);

    void lock();
    void update();
    bool locked() const { return pixels() != nullptr; }

    bool wantsFrame() { return display_.wantsFrame(); }
    void skipFrame() { display_.skipFrame(); }

private:
    Display& display_;
    std::vector<Color> frame_;
};
