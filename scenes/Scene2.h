#pragma once

#include "app/Scene.h"
#include "effects/BlobWarp.h"

#include <memory>

// Orders 4 to 7: three soft blobs wander over a scrolling texture added onto the star picture,
// the lit layer breathing toward dark blue; a white flash opens every even order, and the
// second half of order 7 strobes white every 8 rows.
class Scene2 : public Scene {
public:
    Scene2(Screen& screen, DemoClock& clock, Keys& keys);
    void run() override;

private:
    std::unique_ptr<Image> star;
    std::unique_ptr<Image> texture;
    std::unique_ptr<BlobWarp> warp;
};
