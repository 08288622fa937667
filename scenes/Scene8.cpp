#include "scenes/Scene8.h"

Scene8::Scene8(Screen& s, DemoClock& c, Keys& k)
    : Scene(s, c, k, {32, 35}), background(Image::load("Part8/background.pcx")),
      texture(Image::load("Part8/texture.tex")),
      warp(effectOn<WaveWarp>("Part8/texture.tex", 51, 38, *texture, 1.0f)) {}

void Scene8::run() {
    play({{outsideOrders(), [this] {
               const auto t = static_cast<float>(clock.seconds());
               const int o = clock.order();
               const int r = clock.row();
               warp->draw(t);
               Screen& out = lock();
               out.blit(0, 0, *background);
               out.blitAdd(200, 0, *warp);
               if (r < 16 && (o == 32 || o == 34)) out.fadeTo(Color(255, 255, 255, 0), static_cast<float>(1.0 - r * 0.0625));
           }}});
}
