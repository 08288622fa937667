#pragma once

#include "app/Scene.h"
#include "raster/Image.h"

#include <memory>

// The closing picture: out of a white flash over order 36's first 16 rows, sinking toward black
// over the whole order as the music dies away. Returns at order 37.
class Scene9 : public Scene {
public:
    Scene9(Screen& screen, DemoClock& clock, Keys& keys);
    void run() override;

private:
    std::unique_ptr<Image> background;
};
