#pragma once

#include "app/Scene.h"
#include "effects/Tunnel.h"
#include "engine3d/WobbleView.h"

#include <memory>

// Orders 23 to 31: on the left a wobbling cube, giving way at order 27 to tumbling outlined
// cones; on the right three wandering tunnels in a window under a flickering disco picture;
// white flashes open orders 23, 25, 27 and 29.
class Scene7 : public Scene {
public:
    Scene7(Screen& screen, DemoClock& clock, Keys& keys);
    void run() override;

private:
    std::unique_ptr<Image> background;
    std::unique_ptr<WobbleView> cube;
    std::unique_ptr<WobbleView> cones;
    std::unique_ptr<Image> disco;
    std::unique_ptr<Image> texture;
    std::unique_ptr<Tunnel> tunnel;
};
