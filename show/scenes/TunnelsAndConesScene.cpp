#include "effects/Tunnel.h"
#include "engine3d/WobbleView.h"
#include "raster/Image.h"
#include "show/Scene.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

// On the left a wobbling cube, giving way half-way to tumbling outlined cones; on the right
// three wandering tunnels in a window under a flickering disco picture; white flashes open
// every other order but the last.
class TunnelsAndConesScene : public Scene {
public:
    static constexpr int conesFromOrder = 4;  // counted from the scene's first
    static constexpr int flashRows = 16;
    static constexpr int lastFlashedOrder = 6;

    TunnelsAndConesScene(const Stage& stage, const Slot& slot)
        : Scene(stage, slot), background(Image::load(stage.data, file("background.pcx"))),
          cube(std::make_unique<WobbleView>(378, 300, stage.data, file("cube.lwo"))),
          cones(std::make_unique<WobbleView>(378, 300, stage.data, file("cones.lwo"))), disco(Image::load(stage.data, file("disco.pcx"))),
          texture(Image::load(stage.data, file("texture.tex"), Tunnel::checkTexture)), tunnel(effectOn<Tunnel>(file("texture.tex"), 212, 292, *texture)) {}

    void enter() override { showCones = false; }

    std::vector<Phase> phases() override {
        return {{outsideOrders(), [this](const Position& p) {
                   const auto s = static_cast<float>(p.seconds);
                   const double sd = s;
                   const int order = ordersIn(p);
                   if (order >= conesFromOrder) showCones = true;
                   WobbleView& view = showCones ? *cones : *cube;
                   if (order >= conesFromOrder) {
                       cones->setRotation(static_cast<float>(0.7 * sd), static_cast<float>(-0.8 * sd),
                                          static_cast<float>(0.93 * sd));
                       cones->setAmplitude(0.6f);
                       cones->draw(s);
                       cones->outline();
                   } else {
                       view.draw(s);
                   }
                   tunnel->draw(s);

                   Image& out = lock();
                   out.blit(0, 0, *background);
                   out.blitKeyed(2, 0, view.image(), Color(0, 0, 0, 0));
                   out.blit(384, 4, tunnel->image());
                   // Flickers between 0 and 254: never quite full.
                   out.blitAddScaled(380, 0, *disco, static_cast<int>((std::sin(8 * std::sin(1.5 * sd)) + 1) * 127));
                   if (p.row < flashRows && order % 2 == 0 && order <= lastFlashedOrder) flash(out, p.row);
               }}};
    }

private:
    std::unique_ptr<Image> background;
    std::unique_ptr<WobbleView> cube;
    std::unique_ptr<WobbleView> cones;
    std::unique_ptr<Image> disco;
    std::unique_ptr<Image> texture;
    std::unique_ptr<Tunnel> tunnel;
    // The cube gives way to the cones once, at the first frame of their order or later, for good.
    bool showCones = false;
};

} // namespace

std::unique_ptr<Scene> buildTunnelsAndCones(const Stage& stage, const Scene::Slot& slot) {
    return std::make_unique<TunnelsAndConesScene>(stage, slot);
}
