#include "effects/LightSpot.h"
#include "raster/FrameSize.h"
#include "raster/Image.h"
#include "show/Scene.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

// The opening and the start of the show's seconds: the logo fades in from black over the first
// two orders; at the third the background comes up under a white flash, with the logo passed
// through swinging light rays; from row 32 of that order the rays play on unflashed.
class OpeningScene : public Scene {
public:
    static constexpr int fadeInOrders = 2;
    static constexpr int flashRows = 32;

    OpeningScene(const Stage& stage, const Slot& slot)
        : Scene(stage, slot), logo(Image::load(stage.data, file("logolight.pcx"))),
          background(Image::load(stage.data, file("background.pcx"))), work(std::make_unique<Image>(frameWidth, frameHeight)),
          light(std::make_unique<LightSpot>(*work)) {}

    // The show's seconds count from here.
    void enter() override { clock.reset(); }

    std::vector<Phase> phases() override {
        const int raysFrom = orders().first + fadeInOrders;
        const int last = orders().last;
        return {
            {[raysFrom](const Position& p) { return p.order >= raysFrom; },
             [this](const Position& p) {
                 Image& out = lock();
                 work->blit(0, 0, *logo);
                 const int rows = ordersIn(p) * rowsPerOrder + p.row;  // 0 to 127 over the fade
                 work->fadeTo(Color(0, 0, 0, 0), 1.0f - static_cast<float>(rows) * 0.0078125f);
                 out.blit(0, 0, *work);
             }},
            {[last](const Position& p) { return p.row >= flashRows || p.order > last; },
             [this](const Position& p) { rays(p, true); }},
            {[last](const Position& p) { return p.order > last; }, [this](const Position& p) { rays(p, false); }},
        };
    }

private:
    // One frame of the rays over the background, under the flash while it fades.
    void rays(const Position& p, bool flashing) {
        const auto t = static_cast<float>(p.seconds);
        Image& out = lock();
        out.blit(0, 0, *background);
        work->blit(0, 0, *logo);
        // The centre swings between columns 100 and 500 once every 2π seconds; the level flickers
        // between 160 and 240 at an unrelated rate so the rays never settle into a loop.
        const double td = t;
        light->set(static_cast<int>(300.0 - std::sin(td) * -200.0), 150,
                   static_cast<int>(200.0 - std::cos(td * 13.71828792067543) * -40.0), 2000);
        light->draw(0.0f);
        out.blitAdd(0, 0, *work);
        if (flashing) flash(out, p.row, 1.0 / flashRows);
    }

    std::unique_ptr<Image> logo;
    std::unique_ptr<Image> background;
    std::unique_ptr<Image> work;
    std::unique_ptr<LightSpot> light;
};

} // namespace

std::unique_ptr<Scene> buildOpening(const Stage& stage, const Scene::Slot& slot) {
    return std::make_unique<OpeningScene>(stage, slot);
}
