#include "effects/GridWarp.h"
#include "effects/WaveWarp.h"
#include "raster/Image.h"
#include "show/Scene.h"

#include <memory>
#include <vector>

namespace {

// A texture swimming under travelling waves, tinted by sine ramps, added over the right two
// thirds of a background; a white flash opens every other order from the first.
class WaveWarpScene : public Scene {
public:
    static constexpr int warpLeft = 200;
    static constexpr int flashRows = 16;

    WaveWarpScene(const Stage& stage, const Slot& slot)
        : Scene(stage, slot), background(Image::load(stage.data, file("background.pcx"))),
          texture(Image::load(stage.data, file("texture.tex"), GridWarp::checkTexture)), warp(effectOn<WaveWarp>(file("texture.tex"), 51, 38, *texture, 1.0f)) {}

    std::vector<Phase> phases() override {
        return {{outsideOrders(), [this](const Position& p) {
                   warp->draw(static_cast<float>(p.seconds));
                   Image& out = lock();
                   out.blit(0, 0, *background);
                   out.blitAdd(warpLeft, 0, warp->image());
                   if (p.row < flashRows && ordersIn(p) % 2 == 0) flash(out, p.row);
               }}};
    }

private:
    std::unique_ptr<Image> background;
    std::unique_ptr<Image> texture;
    std::unique_ptr<WaveWarp> warp;
};

} // namespace

std::unique_ptr<Scene> buildWaveWarp(const Stage& stage, const Scene::Slot& slot) {
    return std::make_unique<WaveWarpScene>(stage, slot);
}
