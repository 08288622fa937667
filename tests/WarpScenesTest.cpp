// The three scenes built on warps, through the frames the show presents.

#include "ShowFrames.h"

using WarpScenes = ShowFrames;

TEST_F(WarpScenes, BlobLightFlashesEvenOrdersAndStrobesOrder7) {
    expectAll(*frame(4, 0), white, "order 4 row 0");
    expectAll(*frame(6, 0), white, "order 6 row 0");
    // With the clock held still the warp draws the same layer at every row, so rows without a
    // flash are the same frame, and flashed rows are that frame faded toward white.
    const auto plain = frame(7, 31);
    EXPECT_EQ(TestImages::pixelsOf(*frame(6, 40)), TestImages::pixelsOf(*plain)) << "no flash from row 32 of an even order";
    EXPECT_EQ(TestImages::pixelsOf(*frame(5, 10)), TestImages::pixelsOf(*plain)) << "no flash in odd orders";
    for (int row : {32, 40, 48, 56}) expectAll(*frame(7, row), white, "order 7 strobe");
    EXPECT_EQ(TestImages::pixelsOf(*frame(7, 39)), TestImages::pixelsOf(*faded(*plain, white, 0.125f)));
    EXPECT_EQ(TestImages::pixelsOf(*frame(4, 31)),
              TestImages::pixelsOf(*faded(*plain, white, static_cast<float>(1.0 - 31 * 0.030303031))));
    // The warp's output is 296 rows: the last four rows show the star picture alone.
    expectRegion(*plain, *picture("Part2/star.pcx"), 0, 296, 600, 300, "below the warp");
}

TEST_F(WarpScenes, GlowingBandOpensWithAFlashAndClosesInWhite) {
    // At its first row the blobs have no strength: the frame is the flash alone.
    expectAll(*frame(19, 0), white, "order 19 row 0");
    const auto background = picture("Part6/background.pcx");
    // Above the band the background shows as it is when there is no flash, and faded toward
    // white by row / 64 through order 22.
    expectRegion(*frame(19, 16), *background, 0, 0, 600, 54, "order 19 row 16");
    expectRegion(*frame(21, 40), *background, 0, 0, 600, 54, "order 21");
    expectRegion(*frame(22, 0), *background, 0, 0, 600, 54, "order 22 row 0");
    expectRegion(*frame(22, 32), *faded(*background, white, 0.5f), 0, 0, 600, 54, "order 22 row 32");
    expectRegion(*frame(19, 8), *faded(*background, white, 0.5f), 0, 0, 600, 54, "order 19 row 8");
}

TEST_F(WarpScenes, GlowingBandShowsLightWhereverItsBlobsReach) {
    // Where no blob reaches the band is black, and the blobs only scale the texture down, so a
    // dark texture leaves the band nearly empty while the blobs grow. At the music's own times,
    // the band (rows 54 to 245) keeps a mean brightness (mean of red, green and blue) of at least
    // 25 with at most three quarters of it darker than 15.
    struct At {
        int order, row;
        double seconds;
    };
    for (const At at : {At{20, 32, 157.44}, At{21, 0, 161.28}, At{21, 32, 165.12}}) {
        const auto f = frame(at.order, at.row, at.seconds);
        double sum = 0;
        int dark = 0, count = 0;
        for (int y = 54; y < 54 + 192; ++y)
            for (int x = 0; x < 600; ++x, ++count) {
                const Color c = f->at(x, y);
                const double level = (c.r + c.g + c.b) / 3.0;
                sum += level;
                dark += level < 15 ? 1 : 0;
            }
        EXPECT_GE(sum / count, 25.0) << "order " << at.order << " row " << at.row;
        EXPECT_LE(dark, count * 3 / 4) << "order " << at.order << " row " << at.row;
    }
}

TEST_F(WarpScenes, WaveWarpFlashesOrders32And34Only) {
    expectAll(*frame(32, 0), white, "order 32 row 0");
    expectAll(*frame(34, 0), white, "order 34 row 0");
    const auto background = picture("Part8/background.pcx");
    // The warp covers columns 200 to 599, rows 0 to 295; the rest is the background alone.
    for (auto [order, row] : {std::pair{33, 0}, std::pair{35, 5}, std::pair{32, 16}}) {
        const auto f = frame(order, row);
        expectRegion(*f, *background, 0, 0, 200, 300, "left panel");
        expectRegion(*f, *background, 200, 296, 600, 300, "bottom rows");
    }
    expectRegion(*frame(34, 8), *faded(*background, white, 0.5f), 0, 0, 200, 300, "order 34 row 8");
}

TEST_F(WarpScenes, WaveWarpAddsNoGreen) {
    // The warp's tints swing every channel through its whole range; only a texture without green
    // keeps them off green and yellow. Over the background the warp then adds red and blue alone.
    const auto background = picture("Part8/background.pcx");
    for (auto [order, row, seconds] : {std::tuple{33, 40, 258.24}, std::tuple{35, 32, 272.64}}) {
        const auto f = frame(order, row, seconds);
        for (int y = 0; y < 296; ++y)
            for (int x = 200; x < 600; ++x)
                ASSERT_EQ(f->at(x, y).g, background->at(x, y).g) << "order " << order << " row " << row << " at " << x << ',' << y;
    }
}
