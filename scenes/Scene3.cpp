#include "scenes/Scene3.h"

#include <cmath>

Scene3::Scene3(Screen& s, DemoClock& c, Keys& k)
    : Scene(s, c, k, {8, 10}), background(Image::load("Part3/background.pcx")), scroll(Image::load("Part3/scroll.pcx")),
      dots(Image::load("Part3/dots.pcx")), dots2(Image::load("Part3/dots2.pcx")),
      scrollView(std::make_unique<Image>(scroll->width, scroll->height)),
      dotsView(std::make_unique<Image>(dots->width, dots->height)),
      dotsMix(std::make_unique<Image>(dots->width, dots->height)),
      dots2Faded(std::make_unique<Image>(dots->width, dots->height)) {}

void Scene3::run() {
    play({{outsideOrders(), [this] {
               const auto t = static_cast<float>(clock.seconds());
               const int o = clock.order();
               const int r = clock.row();
               const int pos = (clock.order() - 8) * 64 + r;  // music rows since the scene's start
               scrollView->blitWrapRows(0, pos * 5, *scroll);

               // A cross-fade: the two weights add up to one, dots alone at s = -1, dots2 at 1.
               const double s = std::sin(std::sin(t) * 6.2);
               dotsMix->blit(0, 0, *dots);
               dotsMix->fadeTo(Color(0, 0, 0, 0), static_cast<float>((s - -1.0) * 0.5));
               dots2Faded->blit(0, 0, *dots2);
               dots2Faded->fadeTo(Color(0, 0, 0, 0), static_cast<float>(0.5 - s * 0.5));
               dotsMix->blitAdd(0, 0, *dots2Faded);
               dotsView->blitWrapRows(0, pos * 3, *dotsMix);

               Screen& out = lock();
               out.blit(0, 0, *background);
               out.blitAdd(150, 0, *scrollView);
               out.blitAdd(0, 0, *dotsView);
               const Color black(0, 0, 0, 0);
               // Past row 16 of order 10 the fraction goes beyond 1 and the fade's wrapped
               // weights take over: the frame comes back out of black in its own way.
               if (r < 4 && o == 8) out.fadeTo(black, static_cast<float>(1.0 - r * 0.25));
               else if (o == 10) out.fadeTo(black, static_cast<float>(r * 0.0625));
           }}});
}
