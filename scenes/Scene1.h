#pragma once

#include "app/Scene.h"
#include "effects/LightSpot.h"
#include "raster/Image.h"

#include <memory>

// The opening, orders 0 to 3, and the start of the show's seconds: the logo fades in from
// black over orders 0 and 1; at order 2 the background comes up under a white flash, with the
// logo passed through swinging light rays; from row 32 of order 2 the rays play on unflashed.
class Scene1 : public Scene {
public:
    Scene1(Screen& screen, DemoClock& clock, Keys& keys);
    void run() override;

private:
    // One frame of the rays over the background; the flash fades out over order 2's first 32 rows.
    void rays(bool flash);

    std::unique_ptr<Image> logo;
    std::unique_ptr<Image> background;
    std::unique_ptr<Image> work;
    std::unique_ptr<LightSpot> light;
};
