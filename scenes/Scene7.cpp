#include "scenes/Scene7.h"

#include <cmath>

Scene7::Scene7(Screen& s, DemoClock& c, Keys& k)
    : Scene(s, c, k, {23, 31}), background(Image::load("Part7/background.pcx")),
      cube(std::make_unique<WobbleView>(378, 300, "Part7/cube.lwo")),
      cones(std::make_unique<WobbleView>(378, 300, "Part7/cones.lwo")), disco(Image::load("Part7/disco.pcx")),
      texture(Image::load("Part7/texture.tex")),
      // Built last: it takes the texture, and draws its motion from the random sequence the
      // textures left behind.
      tunnel(effectOn<Tunnel>("Part7/texture.tex", 212, 292, *texture)) {}

void Scene7::run() {
    // The cube gives way to the cones once, at the first frame of order 27 or later, for good.
    bool showCones = false;
    play({{outsideOrders(), [this, &showCones] {
               const auto s = static_cast<float>(clock.seconds());
               const int r = clock.row();
               const int o = clock.order();
               const double sd = s;
               if (o >= 27) showCones = true;
               WobbleView& view = showCones ? *cones : *cube;
               if (o >= 27) {
                   cones->setRotation(static_cast<float>(0.7 * sd), static_cast<float>(-0.8 * sd),
                                      static_cast<float>(0.93 * sd));
                   cones->setAmplitude(0.6f);
                   cones->draw(s);
                   cones->outline();
               } else {
                   view.draw(s);
               }
               tunnel->draw(s);

               Screen& out = lock();
               out.blit(0, 0, *background);
               out.blitKeyed(2, 0, view, Color(0, 0, 0, 0));
               out.blit(384, 4, *tunnel);
               // Flickers between 0 and 254: never quite full.
               out.blitAddScaled(380, 0, *disco, static_cast<int>((std::sin(8 * std::sin(1.5 * sd)) + 1) * 127));
               if (r < 16 && (o == 23 || o == 25 || o == 27 || o == 29))
                   out.fadeTo(Color(255, 255, 255, 0), static_cast<float>(1.0 - r * 0.0625));
           }}});
}
