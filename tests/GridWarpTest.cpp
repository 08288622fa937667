#include "TestImages.h"
#include "effects/BlobWarp.h"
#include "effects/WaveWarp.h"

#include <gtest/gtest.h>

#include <stdexcept>

using TestImages::pixelsOf;

namespace {

// Texel (u, v) is Color(u, v, 77, 0): every sample says where it came from.
std::unique_ptr<Image> coordinateTexture() {
    auto t = std::make_unique<Image>(256, 256);
    for (int v = 0; v < 256; ++v)
        for (int u = 0; u < 256; ++u) t->at(u, v) = Color(u, v, 77, 0);
    return t;
}

// A warp whose nodes the test sets by hand.
struct Grid : GridWarp {
    using GridWarp::GridWarp;
    void draw(float) override {}
    void setAll(int u, int v, Color c) {
        for (GridWarpNode& n : nodes) n = {u, v, c};
    }
};

} // namespace

TEST(GridWarp, ATwoByTwoGridIsOneCellStepping16Dot16) {
    auto tex = coordinateTexture();
    Grid grid(2, 2, *tex);
    ASSERT_EQ(grid.image().width(), 8);
    ASSERT_EQ(grid.image().height(), 8);
    // u runs 0 → 8 across, v 0 → 8 down, full light. Row k shows the edges advanced k + 1 steps,
    // so the top nodes' own row is never drawn; column x shows texel column x.
    grid.node(0, 0) = {0, 0, Color(0, 0, 0, 255)};
    grid.node(1, 0) = {8, 0, Color(0, 0, 0, 255)};
    grid.node(0, 1) = {0, 8, Color(0, 0, 0, 255)};
    grid.node(1, 1) = {8, 8, Color(0, 0, 0, 255)};
    grid.renderShaded();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(grid.image().at(x, y), Color(x * 255 >> 8, (y + 1) * 255 >> 8, 77 * 255 >> 8, 255));
}

TEST(GridWarp, EqualNodesGiveAFlatCellAndCoordinatesWrap) {
    auto tex = coordinateTexture();
    struct Case {
        int u, v;
        int texelU, texelV;
    };
    for (const Case& c : {Case{-1, -1, 255, 255}, Case{256 * 7 + 3, -256 * 5 + 9, 3, 9}, Case{100000, 40, 100000 % 256, 40}}) {
        Grid grid(3, 2, *tex);
        grid.setAll(c.u, c.v, Color(0, 0, 0, 128));
        grid.renderShaded();
        for (Color p : pixelsOf(grid.image())) ASSERT_EQ(p, Color(c.texelU, c.texelV, 77, 0).scale(128)) << c.u << ',' << c.v;

        // The tint crosses green and blue: a node colour (r, g, b) multiplies the texel by (r, b, g).
        grid.setAll(c.u, c.v, Color(255, 0, 128, 255));
        grid.renderTinted();
        for (Color p : pixelsOf(grid.image()))
            ASSERT_EQ(p, Color(c.texelU, c.texelV, 77, 0).modulate(Color(255, 128, 0, 0))) << c.u << ',' << c.v;
    }
}

TEST(GridWarp, RefusesTexturesItWouldReadOutOfBounds) {
    Image small(128, 256);
    EXPECT_THROW(BlobWarp(4, 4, small, 3, 1.0f, 50.0f), std::invalid_argument);
    Image tex(256, 256);
    EXPECT_THROW(WaveWarp(1, 5, tex, 1.0f), std::invalid_argument);
}

TEST(BlobWarp, LightsOnlyWhereBlobsReach) {
    auto tex = coordinateTexture();
    struct Case {
        const char* what;
        int count;
        int brightness;
        float radius;
        bool dark;
    };
    const Case cases[] = {
        {"no blobs", 0, 255, 150.0f, true},
        {"brightness 0", 3, 0, 150.0f, true},
        {"blobs too small to reach a node", 3, 255, 0.5f, true},
        {"three blobs", 3, 255, 150.0f, false},
    };
    for (const Case& c : cases) {
        BlobWarp warp(76, 38, *tex, c.count, 1.0f, c.radius);
        warp.setBrightness(c.brightness);
        warp.draw(1.5f);
        bool anyLight = false;
        for (Color p : pixelsOf(warp.image())) {
            ASSERT_EQ(p.a, 255) << c.what;
            anyLight = anyLight || p.r || p.g || p.b;
        }
        EXPECT_EQ(anyLight, !c.dark) << c.what;
    }
    EXPECT_EQ(BlobWarp(4, 4, *tex, 20, 1.0f, 9.0f).blobCount(), 15);
}

TEST(WaveWarp, DrawsTheSameFrameForTheSameTime) {
    auto tex = coordinateTexture();
    WaveWarp a(51, 38, *tex, 1.0f), b(51, 38, *tex, 1.0f);
    a.draw(3.25f);
    b.draw(7.0f);
    b.draw(3.25f);
    EXPECT_EQ(pixelsOf(a.image()), pixelsOf(b.image()));
    EXPECT_EQ(a.image().width(), 400);
    EXPECT_EQ(a.image().height(), 296);
}
