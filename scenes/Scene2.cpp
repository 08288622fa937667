#include "scenes/Scene2.h"

#include <cmath>

Scene2::Scene2(Screen& s, DemoClock& c, Keys& k)
    : Scene(s, c, k, {4, 7}), star(Image::load("Part2/star.pcx")), texture(Image::load("Part2/texture1.tex")),
      warp(effectOn<BlobWarp>("Part2/texture1.tex", 76, 38, *texture, 3, 1.0f, 150.0f)) {}

void Scene2::run() {
    // No start order: the opening hands over at order 4, and this plays until order 8.
    play({{[this] { return clock.order() >= 8; }, [this] {
               const auto t = static_cast<float>(clock.seconds());
               const int o = clock.order();
               const int r = clock.row();
               warp->draw(t);
               // Breathes between its own colours and a dark blue about every 2.9 s.
               warp->fadeTo(Color(20, 30, 60, 0), static_cast<float>(0.5 - (-0.4) * std::sin(t * 2.183333333333333)));
               Screen& out = lock();
               out.blit(0, 0, *star);
               out.blitAdd(0, 0, *warp);
               const Color white(255, 255, 255, 0);
               if (r >= 32 && o == 7) out.fadeTo(white, static_cast<float>(1.0 - (r % 8) * 0.125));
               else if (o % 2 == 0 && r < 32) out.fadeTo(white, static_cast<float>(1.0 - r * 0.030303031));
           }}});
}
