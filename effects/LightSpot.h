#pragma once

#include "effects/Effect.h"
#include "raster/Image.h"

#include <cstdint>
#include <vector>

// Light rays: one in-place pass smears the target radially outward from a centre. Each pixel is
// blended with a pixel a little closer to the centre that the same pass has already rewritten,
// so bright strokes near the centre stretch into rays running out to the borders.
//
// Works on the target handed to the constructor, which must outlive it.
class LightSpot : public Effect {
public:
    explicit LightSpot(Image& target);

    // level: weight of the inward pixel out of 256 (low 8 bits); step: 16.16 fraction of a
    // pixel's distance to the centre by which its source lies inward. The centre is kept inside
    // the target and the step within 0..65535, so the pass never leaves the target.
    void set(int x, int y, int level, int step);
    void draw(float t) override;

    int centreX() const { return centreX_; }
    int centreY() const { return centreY_; }
    int level() const { return level_; }
    int step() const { return step_; }

private:
    Image& target_;
    std::uint8_t level_ = 230;
    int step_ = 5000;
    int centreX_;
    int centreY_;
    std::vector<Color> scratch_;  // one row of source pixels, gathered for a vector blend
};
