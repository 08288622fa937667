#pragma once

#include "app/Scene.h"
#include "effects/BlobWarp.h"

#include <memory>

// Orders 19 to 22: a 192-row band of seven blobs on a slowly scrolling texture that grow in
// strength and light as the scene runs, over a background, with a logo pulsing in additively at
// the bottom; a white flash opens it and a white fade over order 22 closes it.
class Scene6 : public Scene {
public:
    Scene6(Screen& screen, DemoClock& clock, Keys& keys);
    void run() override;

private:
    std::unique_ptr<Image> background;
    std::unique_ptr<Image> texture;
    std::unique_ptr<Image> logo;
    std::unique_ptr<BlobWarp> warp;
};
