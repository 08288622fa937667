#pragma once

#include "app/Scene.h"
#include "engine3d/MeshView.h"

#include <memory>

// Orders 11 to 14, the first 3D scene: a large outlined star tumbles and pulses over a
// background, beside a column of three rocking arrows; white flashes open orders 11 and 13.
class Scene4 : public Scene {
public:
    Scene4(Screen& screen, DemoClock& clock, Keys& keys);
    void run() override;

private:
    std::unique_ptr<Image> background;
    std::unique_ptr<MeshView> star;
    std::unique_ptr<MeshView> arrow;
};
