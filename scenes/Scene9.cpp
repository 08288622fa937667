#include "scenes/Scene9.h"

Scene9::Scene9(Screen& s, DemoClock& c, Keys& k)
    : Scene(s, c, k, {36, 36}), background(Image::load("Part9/background.pcx")) {}

void Scene9::run() {
    play({{outsideOrders(), [this] {
               const int r = clock.row();
               Screen& out = lock();
               out.blit(0, 0, *background);
               out.fadeTo(Color(0, 0, 0, 0), static_cast<float>(r) * 0.015625f);
               if (r < 16) out.fadeTo(Color(255, 255, 255, 0), 1.0f - static_cast<float>(r) * 0.0625f);
           }}});
}
