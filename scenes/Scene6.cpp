#include "scenes/Scene6.h"

#include <cmath>

Scene6::Scene6(Screen& s, DemoClock& c, Keys& k)
    : Scene(s, c, k, {19, 22}), background(Image::load("Part6/background.pcx")),
      texture(Image::load("Part6/texture.tex")), logo(Image::load("Part6/logo.pcx")),
      warp(effectOn<BlobWarp>("Part6/texture.tex", 76, 25, *texture, 7, 0.3f, 90.0f)) {}

void Scene6::run() {
    play({{outsideOrders(), [this] {
               const double s = clock.seconds();
               const auto t = static_cast<float>(s);
               const auto L = static_cast<float>((0.5 - std::sin(3.0 * std::sin(s)) * 0.5) * 255.0);
               const int r = clock.row();
               const int o = clock.order();
               const int p = (o - 19) * 64 + r;  // rows into the scene: 0 at its first, 255 at its last
               warp->setStrength(static_cast<float>(3 * p) * 0.00625f);
               warp->setBrightness(p);
               warp->draw(t);
               Screen& out = lock();
               out.blit(0, 0, *background);
               out.blit(0, 54, *warp);
               out.blitAddScaled(0, 255, *logo, static_cast<int>(L));
               const Color white(255, 255, 255, 0);
               if (r < 16 && o == 19) out.fadeTo(white, static_cast<float>(1.0 - r * 0.0625));
               else if (p >= 192) out.fadeTo(white, static_cast<float>(r * 0.015625));
           }}});
}
