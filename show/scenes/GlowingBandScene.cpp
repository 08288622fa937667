#include "effects/BlobWarp.h"
#include "effects/GridWarp.h"
#include "raster/Image.h"
#include "show/Scene.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

// A 192-row band of seven blobs on a slowly scrolling texture that grow in strength and light
// as the scene runs, over a background, with a logo pulsing in additively at the bottom; a
// white flash opens it and a white fade over its last order closes it.
class GlowingBandScene : public Scene {
public:
    static constexpr int bandTop = 54;
    static constexpr int logoTop = 255;
    static constexpr int flashRows = 16;

    GlowingBandScene(const Stage& stage, const Slot& slot)
        : Scene(stage, slot), background(Image::load(stage.data, file("background.pcx"))),
          texture(Image::load(stage.data, file("texture.tex"), GridWarp::checkTexture)), logo(Image::load(stage.data, file("logo.pcx"))),
          warp(effectOn<BlobWarp>(file("texture.tex"), 76, 25, *texture, 7, 0.3f, 90.0f)) {}

    std::vector<Phase> phases() override {
        return {{outsideOrders(), [this](const Position& p) {
                   const double s = p.seconds;
                   const auto t = static_cast<float>(s);
                   const auto L = static_cast<float>((0.5 - std::sin(3.0 * std::sin(s)) * 0.5) * 255.0);
                   const int r = p.row;
                   const int rows = ordersIn(p) * rowsPerOrder + r;  // rows into the scene: 0 at its first, 255 at its last
                   warp->setStrength(static_cast<float>(3 * rows) * 0.00625f);
                   warp->setBrightness(rows);
                   warp->draw(t);
                   Image& out = lock();
                   out.blit(0, 0, *background);
                   out.blit(0, bandTop, warp->image());
                   out.blitAddScaled(0, logoTop, *logo, static_cast<int>(L));
                   if (r < flashRows && p.order == orders().first) flash(out, r);
                   else if (p.order == orders().last) whiten(out, r * 0.015625);
               }}};
    }

private:
    std::unique_ptr<Image> background;
    std::unique_ptr<Image> texture;
    std::unique_ptr<Image> logo;
    std::unique_ptr<BlobWarp> warp;
};

} // namespace

std::unique_ptr<Scene> buildGlowingBand(const Stage& stage, const Scene::Slot& slot) {
    return std::make_unique<GlowingBandScene>(stage, slot);
}
