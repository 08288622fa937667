#include "engine3d/MeshView.h"
#include "raster/Image.h"
#include "show/Scene.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

// The first 3D scene: a large outlined star tumbles and pulses over a background, beside a
// column of three rocking arrows; a white flash opens every other order from the first.
class StarAndArrowsScene : public Scene {
public:
    static constexpr int flashRows = 16;

    StarAndArrowsScene(const Stage& stage, const Slot& slot)
        : Scene(stage, slot), background(Image::load(stage.data, file("background.pcx"))),
          star(std::make_unique<MeshView>(500, 300, stage.data, file("star.lwo"))),
          arrow(std::make_unique<MeshView>(170, 200, stage.data, file("arrow.lwo"))) {
        star->setPosition(0.7f, 0.0f, 0.0f);
        arrow->setPosition(-0.2f, 0.0f, 0.0f);
    }

    std::vector<Phase> phases() override {
        return {{outsideOrders(), [this](const Position& p) {
                   const auto s = static_cast<float>(p.seconds);
                   const double sd = s;
                   auto f = [](double v) { return static_cast<float>(v); };

                   star->setRotation(s, f(-0.3 * sd), f(0.7 * sd));
                   star->draw(s);
                   // Pulses between 98 % and 2 % brightness on two beating sines.
                   star->image().fadeTo(Color(0, 0, 0, 0), f(0.5 + 0.48 * std::sin(3.7 * sd) * std::sin(6.2 * sd)));

                   Image& out = lock();
                   out.blit(0, 0, *background);
                   out.blitAdd(0, 0, star->image());

                   // One view serves the three arrows: each is drawn, then copied before the next.
                   const float g = f(-0.2 * std::sin(1.3 * sd));
                   const float h = f(0.3 * std::sin(2.4 * sd));
                   struct Copy {
                       float a, b, c;
                       int x, y;
                   };
                   const Copy copies[] = {
                       {f(0.4 * std::sin(6 * sd)), h, g, 400, 0},
                       {f(1.4 * std::sin(3 * sd)), f(0.3 * std::sin(1.4 * sd)), g, 420, 80},
                       {f(0.4 * std::sin(4 * sd)), h, f(-0.4 * std::sin(4.3 * sd)), 440, 160},
                   };
                   for (const Copy& copy : copies) {
                       arrow->setRotation(copy.a, copy.b, copy.c);
                       arrow->draw(s);
                       out.blitKeyed(copy.x, copy.y, arrow->image(), Color(0, 0, 0, 0));
                   }
                   if (p.row < flashRows && ordersIn(p) % 2 == 0) flash(out, p.row);
               }}};
    }

private:
    std::unique_ptr<Image> background;
    std::unique_ptr<MeshView> star;
    std::unique_ptr<MeshView> arrow;
};

} // namespace

std::unique_ptr<Scene> buildStarAndArrows(const Stage& stage, const Scene::Slot& slot) {
    return std::make_unique<StarAndArrowsScene>(stage, slot);
}
