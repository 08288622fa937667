#include "raster/Image.h"
#include "show/Scene.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

// The scroller: over a still background the credits roll up a strip from column 150, and two
// dot layers cross-fade and roll over the whole frame. Both rolls step with the music's rows,
// not with time. Fades in from black over the first order's first 4 rows and out to black
// during the last order.
class ScrollerScene : public Scene {
public:
    static constexpr int scrollRowsPerRow = 5;
    static constexpr int dotRowsPerRow = 3;
    static constexpr int scrollLeft = 150;
    static constexpr int fadeInRows = 4;

    ScrollerScene(const Stage& stage, const Slot& slot)
        : Scene(stage, slot), background(Image::load(stage.data, file("background.pcx"))),
          scroll(Image::load(stage.data, file("scroll.pcx"))), dots(Image::load(stage.data, file("dots.pcx"))),
          dots2(Image::load(stage.data, file("dots2.pcx"))), scrollView(std::make_unique<Image>(scroll->width(), scroll->height())),
          dotsView(std::make_unique<Image>(dots->width(), dots->height())),
          dotsMix(std::make_unique<Image>(dots->width(), dots->height())),
          dots2Faded(std::make_unique<Image>(dots->width(), dots->height())) {}

    std::vector<Phase> phases() override {
        return {{outsideOrders(), [this](const Position& p) {
                   const auto t = static_cast<float>(p.seconds);
                   const int r = p.row;
                   const int rows = ordersIn(p) * rowsPerOrder + r;  // music rows since the scene's start
                   scrollView->blitWrapRows(0, rows * scrollRowsPerRow, *scroll);

                   // A cross-fade: the two weights add up to one, dots alone at s = -1, dots2 at 1.
                   const double s = std::sin(std::sin(t) * 6.2);
                   dotsMix->blit(0, 0, *dots);
                   dotsMix->fadeTo(Color(0, 0, 0, 0), static_cast<float>((s - -1.0) * 0.5));
                   dots2Faded->blit(0, 0, *dots2);
                   dots2Faded->fadeTo(Color(0, 0, 0, 0), static_cast<float>(0.5 - s * 0.5));
                   dotsMix->blitAdd(0, 0, *dots2Faded);
                   dotsView->blitWrapRows(0, rows * dotRowsPerRow, *dotsMix);

                   Image& out = lock();
                   out.blit(0, 0, *background);
                   out.blitAdd(scrollLeft, 0, *scrollView);
                   out.blitAdd(0, 0, *dotsView);
                   const Color black(0, 0, 0, 0);
                   // Past row 16 of the last order the fraction goes beyond 1 and the fade's
                   // wrapped weights take over: the frame comes back out of black in its own way.
                   if (r < fadeInRows && p.order == orders().first)
                       out.fadeTo(black, static_cast<float>(1.0 - r * (1.0 / fadeInRows)));
                   else if (p.order == orders().last) {
                       out.fadeTo(black, static_cast<float>(r * 0.0625));
                       // Out of black nearly white in one frame: a flash in all but name, which
                       // gentle flashes hold to their peak and the flash guard skips like any
                       // other.
                       if (r > 16)
                           if (const double peak = whiteness(1.0); peak < 1.0) out.fadeTo(black, static_cast<float>(1.0 - peak));
                   }
               }}};
    }

private:
    std::unique_ptr<Image> background;
    std::unique_ptr<Image> scroll;
    std::unique_ptr<Image> dots;
    std::unique_ptr<Image> dots2;
    std::unique_ptr<Image> scrollView;
    std::unique_ptr<Image> dotsView;
    std::unique_ptr<Image> dotsMix;
    std::unique_ptr<Image> dots2Faded;
};

} // namespace

std::unique_ptr<Scene> buildScroller(const Stage& stage, const Scene::Slot& slot) {
    return std::make_unique<ScrollerScene>(stage, slot);
}
