#pragma once

#include "raster/Image.h"

// Where finished frames go: a window, a file, a test's memory. The frame is lent for the
// duration of the call only.
class Display {
public:
    virtual ~Display() = default;
    virtual void present(const Image& frame) = 0;

    // A still fast-forwards the music to its position: frames on the way are not drawn, and
    // skipFrame() moves the music on instead. Live and captured shows draw every frame.
    virtual bool wantsFrame() { return true; }
    virtual void skipFrame() {}
};
