#pragma once

#include "app/Scene.h"
#include "engine3d/MeshGridView.h"

#include <memory>

// Orders 15 to 18: a full-screen grid of 13 × 8 cubes rides a travelling wave behind a keyed
// foreground figure; white flashes open orders 15 and 17.
class Scene5 : public Scene {
public:
    // The foreground's transparent colour; (4, 252, 5) is an ordinary, drawn colour.
    static constexpr Color key = Color(4, 252, 4, 0);

    Scene5(Screen& screen, DemoClock& clock, Keys& keys);
    void run() override;

private:
    std::unique_ptr<Image> background;
    std::unique_ptr<Image> foreground;
    std::unique_ptr<MeshGridView> grid;
};
