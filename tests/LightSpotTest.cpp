#include "KernelCases.h"
#include "TestImages.h"
#include "effects/LightSpot.h"
#include "effects/LightSpotKernels.h"

#include <gtest/gtest.h>

#include <vector>

using TestImages::make;
using TestImages::pixelsOf;

namespace {
std::vector<int> reds(const Image& img) {
    std::vector<int> out;
    for (Color c : pixelsOf(img)) out.push_back(c.r);
    return out;
}
} // namespace

TEST(LightSpot, StepZeroTakesTheNeighbourTowardTheCentre) {
    // Level 255 gives each visited pixel its source × 255 >> 8, and sources are read after the
    // pass rewrote them: 200 → 199 → 198 along a chain. Values worked by hand.
    struct Case {
        const char* what;
        int w, h, cx, cy;
        std::vector<int> in, want;
    };
    const Case cases[] = {
        {"left run: itself; right run: its left neighbour", 3, 1, 1, 0, {10, 100, 200}, {9, 99, 98}},
        {"below the centre: the pixel above", 1, 3, 0, 1, {10, 100, 200}, {9, 99, 98}},
        {"below and right: the pixel above-left", 2, 2, 0, 0, {200, 7, 7, 7}, {199, 198, 198, 198}},
    };
    for (const Case& c : cases) {
        std::vector<Color> px;
        for (int v : c.in) px.push_back(Color(v, 0, 0, 0));
        auto target = make(c.w, c.h, px);
        LightSpot light(*target);
        light.set(c.cx, c.cy, 255, 0);
        light.draw(0.0f);
        EXPECT_EQ(reds(*target), c.want) << c.what;
        EXPECT_EQ(target->at(0, 0).a, 255) << c.what;
    }
}

TEST(LightSpot, VisitsEveryPixelExactlyOnce) {
    // At level 0 a visit turns 255 into 254 and a second visit into 253, so a white target must
    // come out all 254, wherever the centre and however long the step.
    struct Case {
        int w, h, cx, cy, step;
    };
    for (const Case& c : {Case{7, 5, 3, 2, 2000}, Case{7, 5, 0, 0, 5000}, Case{7, 5, 6, 4, 65535},
                          Case{1, 1, 0, 0, 0}, Case{9, 2, 8, 0, 30000}, Case{600, 300, 300, 150, 2000}}) {
        Image target(c.w, c.h);
        target.fadeTo(Color(255, 255, 255, 255), 1.0f);
        LightSpot light(target);
        light.set(c.cx, c.cy, 0, c.step);
        light.draw(0.0f);
        for (Color p : pixelsOf(target))
            ASSERT_EQ(p, Color(254, 254, 254, 255)) << c.w << 'x' << c.h << " centre " << c.cx << ',' << c.cy;
    }
}

TEST(LightSpot, SetKeepsThePassInsideTheTarget) {
    Image target(10, 4);
    LightSpot light(target);
    EXPECT_EQ(light.centreX(), 5);
    EXPECT_EQ(light.centreY(), 2);
    EXPECT_EQ(light.level(), 230);
    EXPECT_EQ(light.step(), 5000);

    struct Case {
        int x, y, level, step;
        int wantX, wantY, wantLevel, wantStep;
    };
    for (const Case& c : {Case{-5, 99, 256 + 200, 65536, 0, 3, 200, 65535}, Case{10, -1, -1, -7, 9, 0, 255, 0},
                          Case{300, 150, 240, 2000, 9, 3, 240, 2000}}) {
        light.set(c.x, c.y, c.level, c.step);
        EXPECT_EQ(light.centreX(), c.wantX);
        EXPECT_EQ(light.centreY(), c.wantY);
        EXPECT_EQ(light.level(), c.wantLevel);
        EXPECT_EQ(light.step(), c.wantStep);
        light.draw(0.0f);  // and the pass stays in bounds (the sanitizer build checks)
    }
}

TEST(LightSpot, RowKernelsMatchThePlainLoop) {
    using Kernels = LightSpotKernels;
    using KernelCases::Random;
    KernelCases::expectSetsMatchPlain<Kernels>("finishedRow", [](const Kernels& k, Random& r, int n) {
        // Steps at their limits and powers of two, whose stretches end exactly on a whole pixel;
        // the row starts anywhere, so the blend's vector head and tail fall anywhere.
        const int steps[] = {0, 1, 2000, 65535, 4096, 8192, 16384, 32768};
        const int width = r.between(1, 1 + n / 2), offset = r.below(4);
        const int step = r.below(2) == 0 ? r.pick(steps) : r.between(0, 65535);
        const Kernels::Rays rays{width, r.below(width), r.byte(), step, r.below(2) == 0 ? 0 : step};
        auto randomRow = [&r](std::size_t count) {
            std::vector<Color> row(count);
            for (Color& c : row) c = r.color();
            return row;
        };
        std::vector<Color> dst = randomRow(static_cast<std::size_t>(width + offset + 4));
        const std::vector<Color> src = randomRow(static_cast<std::size_t>(width));
        std::vector<Color> scratch = randomRow(static_cast<std::size_t>(width));
        k.finishedRow(dst.data() + offset, src.data(), rays, scratch.data());
        return KernelCases::bytesOf(dst.data(), dst.size());
    });
}
