#pragma once

#include "app/Scene.h"
#include "effects/WaveWarp.h"

#include <memory>

// Orders 32 to 35: a texture swimming under travelling waves, tinted by sine ramps, added over
// the right two thirds of a background; white flashes open orders 32 and 34.
class Scene8 : public Scene {
public:
    Scene8(Screen& screen, DemoClock& clock, Keys& keys);
    void run() override;

private:
    std::unique_ptr<Image> background;
    std::unique_ptr<Image> texture;
    std::unique_ptr<WaveWarp> warp;
};
