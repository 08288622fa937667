// Every vector path against the plain loops, through Image's public operations, on random
// images, sizes and positions: any byte that differs fails, naming the case to replay.

#include "KernelCases.h"
#include "effects/GridWarp.h"
#include "effects/LightSpot.h"
#include "effects/LightSpotKernels.h"
#include "effects/Tunnel.h"
#include "effects/TunnelKernels.h"
#include "effects/WarpKernels.h"
#include "engine3d/Renderer3D.h"
#include "engine3d/Renderer3DKernels.h"
#include "raster/Image.h"
#include "raster/ImageKernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace {

using KernelCases::Random;

// Sides grow with the case, from a single pixel to past a few vector widths and alignments.
int side(Random& r, int n) { return r.between(1, 1 + n / 6); }

std::unique_ptr<Image> randomImage(Random& r, int w, int h) {
    auto img = std::make_unique<Image>(w, h);
    for (std::size_t i = 0; i < img->pixelCount(); ++i) img->pixels()[i] = r.color();
    return img;
}

// A position from wholly left (or above) of dst to wholly past its far edge.
int position(Random& r, int srcSide, int dstSide) { return r.between(-srcSide - 1, dstSide + 1); }

std::vector<std::uint8_t> bytesOf(const Image& img) { return KernelCases::bytesOf(img.pixels(), img.pixelCount()); }

// The case under test, everything drawn from its sequence; gives the bytes it drew.
using Case = std::function<std::vector<std::uint8_t>(Random& r, int n)>;
using Operation = std::function<void(Image& dst, Random& r, int n)>;

// An operation on a random image of the case's size.
Case onRandomImage(Operation op) {
    return [op](Random& r, int n) {
        const int w = side(r, n), h = side(r, n);
        auto dst = randomImage(r, w, h);
        op(*dst, r, n);
        return bytesOf(*dst);
    };
}

class ImageKernelsTest : public ::testing::Test {
protected:
    void TearDown() override { ImageKernels::use(original); }

    // For each vector path this CPU runs (of those where the module under test has loops of its
    // own): the same case through the plain and the vector loops, from the same random start.
    // Every module's table follows the path use() picks.
    using OwnLoops = bool (*)(ImageKernels::Path);
    static bool everyPath(ImageKernels::Path) { return true; }
    static void expectSameAsPlain(const char* what, const Case& drawCase, OwnLoops ownLoops = everyPath) {
        KernelCases::expectPathsMatchPlain(
            what, ownLoops,
            [&drawCase](ImageKernels::Path path, Random& r, int n) {
                EXPECT_TRUE(ImageKernels::use(path));
                return drawCase(r, n);
            });
    }

    ImageKernels::Path original = ImageKernels::active().path;
};

// A source of its own random size, at a random position that often clips.
// A quarter of the sources share dst's width at x = 0, whose rows Image runs as one.
template <class Blit>
Operation withSource(Blit blit) {
    return [blit](Image& dst, Random& r, int n) {
        const bool fullRows = r.below(4) == 0;
        const int w = fullRows ? dst.width() : side(r, n), h = side(r, n);
        auto src = randomImage(r, w, h);
        const int x = fullRows ? 0 : position(r, w, dst.width()), y = position(r, h, dst.height());
        blit(dst, x, y, *src, r);
    };
}

} // namespace

TEST_F(ImageKernelsTest, KeyedBlitMatchesThePlainLoop) {
    expectSameAsPlain("blitKeyed", onRandomImage([](Image& dst, Random& r, int n) {
        const Color key = r.color();
        const int w = side(r, n), h = side(r, n);
        auto src = randomImage(r, w, h);
        // A third of the source is the key's colour under any alpha, which still matches.
        for (std::size_t i = 0; i < src->pixelCount(); ++i)
            if (r.below(3) == 0) src->pixels()[i] = Color(key.r, key.g, key.b, r.byte());
        dst.blitKeyed(position(r, w, dst.width()), position(r, h, dst.height()), *src, key);
    }));
}

TEST_F(ImageKernelsTest, AdditiveBlitMatchesThePlainLoop) {
    expectSameAsPlain("blitAdd", onRandomImage(withSource([](Image& dst, int x, int y, const Image& src, Random&) {
                          dst.blitAdd(x, y, src);
                      })));
}

TEST_F(ImageKernelsTest, ScaledAdditiveBlitMatchesThePlainLoop) {
    expectSameAsPlain("blitAddScaled", onRandomImage(withSource([](Image& dst, int x, int y, const Image& src, Random& r) {
                          // Levels beyond a byte and below zero: only the low 8 bits count.
                          dst.blitAddScaled(x, y, src, r.between(-300, 600));
                      })));
}

TEST_F(ImageKernelsTest, FadeMatchesThePlainLoop) {
    expectSameAsPlain("fadeTo", onRandomImage([](Image& dst, Random& r, int) {
        // Fractions that wrap either weight or zero them, and ordinary ones.
        const float odd[] = {0.0f, 1.0f, 1.0625f, -0.25f, 2.5f, -3.0f, 1e30f, std::numeric_limits<float>::quiet_NaN()};
        const float fraction =
            r.below(3) == 0 ? odd[r.below(8)] : static_cast<float>(r.between(-512, 1536)) / 1024.0f;
        dst.fadeTo(r.color(), fraction);
    }));
}

TEST_F(ImageKernelsTest, LightRaysMatchThePlainLoop) {
    expectSameAsPlain("LightSpot", onRandomImage([](Image& dst, Random& r, int) {
        LightSpot light(dst);
        // Centres beyond the edges (set keeps them inside); steps at and past their limits, and
        // powers of two, whose stretches end exactly on a whole pixel.
        const int steps[] = {0, 1, 2000, 65535, 70000, -5, 4096, 8192, 16384, 32768};
        const int step = r.below(2) == 0 ? steps[r.below(10)] : r.between(0, 65535);
        light.set(position(r, 1, dst.width()), position(r, 1, dst.height()), r.between(-300, 600), step);
        light.draw(0.0f);
    }), KernelCases::hasOwnLoops<LightSpotKernels>);
}

namespace {

// A warp whose nodes the case sets: coordinates anywhere in 32 bits, light and tints biased to
// the ends of their range, and whole cells unlit.
struct RandomGrid : GridWarp {
    RandomGrid(int columns, int rowCount, const Image& texture, Random& r) : GridWarp(columns, rowCount, texture) {
        for (GridWarpNode& node : nodes) {
            const int coordinates[] = {0, -1, 255, 256, 1 << 30, -(1 << 30), 2147483647, -2147483647 - 1};
            node.u = r.below(3) == 0 ? coordinates[r.below(8)] : r.between(-5000, 5000);
            node.v = r.below(3) == 0 ? coordinates[r.below(8)] : r.between(-5000, 5000);
            node.colour = r.color();
            // Unlit half the time, so whole cells go dark.
            if (r.below(2) == 0) node.colour.a = 0;
        }
    }
    void draw(float) override {}
};

} // namespace

TEST_F(ImageKernelsTest, WarpRowsMatchThePlainLoops) {
    for (bool tinted : {false, true})
        expectSameAsPlain(tinted ? "renderTinted" : "renderShaded", [tinted](Random& r, int n) {
            // The grid grows from a single cell with the case.
            Image texture(GridWarp::textureSide, GridWarp::textureSide);
            for (std::size_t i = 0; i < texture.pixelCount(); ++i) {
                const std::uint32_t word = r.next();
                std::memcpy(static_cast<void*>(texture.pixels() + i), &word, sizeof word);
            }
            RandomGrid grid(1 + side(r, n / 4), 1 + side(r, n / 4), texture, r);
            if (tinted) grid.renderTinted();
            else grid.renderShaded();
            return bytesOf(grid.image());
        }, KernelCases::hasOwnLoops<WarpKernels>);
}

namespace {

// A renderer whose depths the case paints span by span: depths near the outline threshold
// apart, far apart, and the empty background between them.
struct RandomSpans : Renderer3D {
    RandomSpans(int w, int h, Random& r) : Renderer3D(w, h) {
        clear();
        const int spans = r.between(0, 4 * h);
        for (int s = 0; s < spans; ++s) {
            const float steps[] = {0.0f, 399.0f, 400.0f, 401.0f, 5000.0f};
            const float z0 = static_cast<float>(r.between(0, 3)) * steps[r.below(5)];
            const float z1 = z0 + (r.below(2) ? steps[r.below(5)] : static_cast<float>(r.between(-900, 900)));
            drawSpan(r.between(-3, w + 3), r.between(-3, w + 3), z0, z1, r.between(-1, h), r.color());
        }
    }
    void draw(float) override {}
};

} // namespace

TEST_F(ImageKernelsTest, SpansAndOutlineMatchThePlainLoops) {
    expectSameAsPlain("drawSpan and outline", [](Random& r, int n) {
        RandomSpans view(side(r, n), side(r, n), r);
        view.outline();
        return bytesOf(view.image());
    }, KernelCases::hasOwnLoops<Renderer3DKernels>);
}

TEST_F(ImageKernelsTest, TunnelTexelsMatchThePlainLoop) {
    expectSameAsPlain("Tunnel", [](Random& r, int n) {
        Image texture(256, 256);
        for (std::size_t i = 0; i < texture.pixelCount(); ++i) texture.pixels()[i] = r.color();
        Tunnel tunnel(1 + side(r, n), 1 + side(r, n), texture);
        // Times far enough on for the scroll to wrap and the windows to swing to their ends.
        tunnel.draw(static_cast<float>(r.between(0, 100000)) / 64.0f);
        return bytesOf(tunnel.image());
    }, KernelCases::hasOwnLoops<TunnelKernels>);
}
