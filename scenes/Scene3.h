#pragma once

#include "app/Scene.h"
#include "raster/Image.h"

#include <memory>

// Orders 8 to 10, the scroller: over a still background the credits roll up a strip from
// column 150, and two dot layers cross-fade and roll over the whole frame. Both rolls step with
// the music's rows, not with time: 5 and 3 pixel rows a music row. Fades in from black over
// order 8's first 4 rows and out to black during order 10.
class Scene3 : public Scene {
public:
    Scene3(Screen& screen, DemoClock& clock, Keys& keys);
    void run() override;

private:
    std::unique_ptr<Image> background;
    std::unique_ptr<Image> scroll;
    std::unique_ptr<Image> dots;
    std::unique_ptr<Image> dots2;
    std::unique_ptr<Image> scrollView;
    std::unique_ptr<Image> dotsView;
    std::unique_ptr<Image> dotsMix;
    std::unique_ptr<Image> dots2Faded;
};
