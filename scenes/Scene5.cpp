#include "scenes/Scene5.h"

#include <cmath>

Scene5::Scene5(Screen& s, DemoClock& c, Keys& k)
    : Scene(s, c, k, {15, 18}), background(Image::load("Part5/background.pcx")),
      foreground(Image::load("Part5/gubbe.pcx")), grid(std::make_unique<MeshGridView>(600, 300, "Part5/cube.lwo")) {}

void Scene5::run() {
    play({{outsideOrders(), [this] {
               const auto s = static_cast<float>(clock.seconds());
               const int r = clock.row();
               const int o = clock.order();
               const double sd = s;
               grid->setRotation(static_cast<float>(3 * std::sin(0.6 * sd)), static_cast<float>(0.3 * std::sin(9 * sd)),
                                 static_cast<float>(2 * std::sin(1.3 * sd)));
               grid->draw(s);
               Screen& out = lock();
               out.blit(0, 0, *background);
               out.blitAdd(0, 0, *grid);  // empty pixels are black and add nothing
               out.blitKeyed(0, 60, *foreground, key);
               if (r < 16 && (o == 15 || o == 17))
                   out.fadeTo(Color(255, 255, 255, 0), static_cast<float>(1.0 - r * 0.0625));
           }}});
}
