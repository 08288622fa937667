#include "raster/Image.h"
#include "show/Scene.h"

#include <memory>
#include <vector>

namespace {

// The closing picture: out of a white flash over its first 16 rows, sinking toward black over
// the whole order as the music dies away. Returns once the music is past it.
class FarewellScene : public Scene {
public:
    static constexpr int flashRows = 16;

    FarewellScene(const Stage& stage, const Slot& slot) : Scene(stage, slot), background(Image::load(stage.data, file("background.pcx"))) {}

    std::vector<Phase> phases() override {
        return {{outsideOrders(), [this](const Position& p) {
                   const int r = p.row;
                   Image& out = lock();
                   out.blit(0, 0, *background);
                   out.fadeTo(Color(0, 0, 0, 0), static_cast<float>(r) * 0.015625f);
                   if (r < flashRows) flash(out, r);
               }}};
    }

private:
    std::unique_ptr<Image> background;
};

} // namespace

std::unique_ptr<Scene> buildFarewell(const Stage& stage, const Scene::Slot& slot) {
    return std::make_unique<FarewellScene>(stage, slot);
}
