#include "effects/BlobWarp.h"
#include "effects/GridWarp.h"
#include "raster/Image.h"
#include "show/Scene.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

// Three soft blobs wander over a scrolling texture added onto the star picture, the lit layer
// breathing toward dark blue; a white flash opens every even order, and the second half of the
// last order strobes white every 8 rows.
class BlobLightScene : public Scene {
public:
    static constexpr int flashRows = 32;
    static constexpr int strobeRows = 8;

    BlobLightScene(const Stage& stage, const Slot& slot)
        : Scene(stage, slot), star(Image::load(stage.data, file("star.pcx"))), texture(Image::load(stage.data, file("texture1.tex"), GridWarp::checkTexture)),
          warp(effectOn<BlobWarp>(file("texture1.tex"), 76, 38, *texture, 3, 1.0f, 150.0f)) {}

    std::vector<Phase> phases() override {
        // No start order: the opening hands over, and this plays until its last order is over.
        const int last = orders().last;
        return {{[last](const Position& p) { return p.order > last; }, [this, last](const Position& p) {
                   const auto t = static_cast<float>(p.seconds);
                   const int r = p.row;
                   warp->draw(t);
                   // Breathes between its own colours and a dark blue about every 2.9 s.
                   warp->image().fadeTo(Color(20, 30, 60, 0), static_cast<float>(0.5 - (-0.4) * std::sin(t * 2.183333333333333)));
                   Image& out = lock();
                   out.blit(0, 0, *star);
                   out.blitAdd(0, 0, warp->image());
                   if (r >= flashRows && p.order == last) flash(out, r % strobeRows, 1.0 / strobeRows);
                   // A flash that fades over 33 rows, cut short at row 32 when it has not quite gone.
                   else if (ordersIn(p) % 2 == 0 && r < flashRows) flash(out, r, 0.030303031);
               }}};
    }

private:
    std::unique_ptr<Image> star;
    std::unique_ptr<Image> texture;
    std::unique_ptr<BlobWarp> warp;
};

} // namespace

std::unique_ptr<Scene> buildBlobLight(const Stage& stage, const Scene::Slot& slot) {
    return std::make_unique<BlobLightScene>(stage, slot);
}
