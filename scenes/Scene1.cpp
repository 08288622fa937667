#include "scenes/Scene1.h"

#include <cmath>

Scene1::Scene1(Screen& s, DemoClock& c, Keys& k)
    : Scene(s, c, k, {0, 3}), logo(Image::load("Part1/logolight.pcx")),
      background(Image::load("Part1/background.pcx")), work(std::make_unique<Image>(600, 300)),
      light(std::make_unique<LightSpot>(*work)) {}

void Scene1::run() {
    clock.reset();
    play({
        {[this] { return clock.order() >= 2; },
         [this] {
             Screen& out = lock();
             work->blit(0, 0, *logo);
             const int row = clock.row();
             const int p = row + clock.order() * 64;
             work->fadeTo(Color(0, 0, 0, 0), 1.0f - static_cast<float>(p) * 0.0078125f);
             out.blit(0, 0, *work);
         }},
        {[this] { return clock.row() >= 32 || clock.order() >= 4; }, [this] { rays(true); }},
        {[this] { return clock.order() >= 4; }, [this] { rays(false); }},
    });
}

void Scene1::rays(bool flash) {
    const auto t = static_cast<float>(clock.seconds());
    Screen& out = lock();
    out.blit(0, 0, *background);
    work->blit(0, 0, *logo);
    // The centre swings between columns 100 and 500 once every 2π seconds; the level flickers
    // between 160 and 240 at an unrelated rate so the rays never settle into a loop.
    const double td = t;
    light->set(static_cast<int>(300.0 - std::sin(td) * -200.0), 150,
               static_cast<int>(200.0 - std::cos(td * 13.71828792067543) * -40.0), 2000);
    light->draw(0.0f);
    out.blitAdd(0, 0, *work);
    if (flash) out.fadeTo(Color(255, 255, 255, 0), 1.0f - static_cast<float>(clock.row()) * 0.03125f);
}
