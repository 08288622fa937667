#include "engine3d/MeshGridView.h"
#include "raster/FrameSize.h"
#include "raster/Image.h"
#include "show/Scene.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

// A full-screen grid of 13 × 8 cubes rides a travelling wave behind a keyed foreground figure;
// a white flash opens every other order from the first.
class CubeWaveScene : public Scene {
public:
    // The foreground's transparent colour; (4, 252, 5) is an ordinary, drawn colour.
    static constexpr Color key = Color(4, 252, 4, 0);
    static constexpr int figureTop = 60;
    static constexpr int flashRows = 16;

    CubeWaveScene(const Stage& stage, const Slot& slot)
        : Scene(stage, slot), background(Image::load(stage.data, file("background.pcx"))),
          foreground(Image::load(stage.data, file("gubbe.pcx"))), grid(std::make_unique<MeshGridView>(frameWidth, frameHeight, stage.data, file("cube.lwo"))) {}

    std::vector<Phase> phases() override {
        return {{outsideOrders(), [this](const Position& p) {
                   const auto s = static_cast<float>(p.seconds);
                   const double sd = s;
                   grid->setRotation(static_cast<float>(3 * std::sin(0.6 * sd)), static_cast<float>(0.3 * std::sin(9 * sd)),
                                     static_cast<float>(2 * std::sin(1.3 * sd)));
                   grid->draw(s);
                   Image& out = lock();
                   out.blit(0, 0, *background);
                   out.blitAdd(0, 0, grid->image());  // empty pixels are black and add nothing
                   out.blitKeyed(0, figureTop, *foreground, key);
                   if (p.row < flashRows && ordersIn(p) % 2 == 0) flash(out, p.row);
               }}};
    }

private:
    std::unique_ptr<Image> background;
    std::unique_ptr<Image> foreground;
    std::unique_ptr<MeshGridView> grid;
};

} // namespace

std::unique_ptr<Scene> buildCubeWave(const Stage& stage, const Scene::Slot& slot) {
    return std::make_unique<CubeWaveScene>(stage, slot);
}
