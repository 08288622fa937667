// The three scenes built on the 3D views, through the frames the show presents.

#include "ShowFrames.h"
#include "engine3d/MeshView.h"
#include "engine3d/WobbleView.h"

#include <cmath>
#include <fstream>

using ObjectScenes = ShowFrames;
using TestImages::pixelsOf;

namespace {
bool allWhite(const Image& img) {
    for (Color c : pixelsOf(img))
        if (c != white) return false;
    return true;
}
} // namespace

TEST_F(ObjectScenes, StarAndArrowsFlashesOrders11And13) {
    expectAll(*frame(11, 0), white, "order 11 row 0");
    expectAll(*frame(13, 0), white, "order 13 row 0");
    // Everything but the flash follows the clock alone, so at one time the unflashed rows agree.
    const auto plain = frame(12, 15);
    EXPECT_EQ(pixelsOf(*frame(11, 15)), pixelsOf(*faded(*plain, white, 0.0625f)));
    EXPECT_EQ(pixelsOf(*frame(11, 16)), pixelsOf(*plain));
    EXPECT_EQ(pixelsOf(*frame(14, 0)), pixelsOf(*plain));
    EXPECT_EQ(pixelsOf(*frame(12, 0)), pixelsOf(*plain));
}

TEST_F(ObjectScenes, StarAndArrowsAtTimeZeroHoldsItsObjectsStill) {
    // At 0 s every angle is 0 and the star shows at half brightness; the third arrow is cut
    // by the frame's right and bottom edges.
    MeshView star(500, 300, buildData(), "Part4/star.lwo"), arrow(170, 200, buildData(), "Part4/arrow.lwo");
    star.setPosition(0.7f, 0, 0);
    arrow.setPosition(-0.2f, 0, 0);
    star.draw(0);
    star.image().fadeTo(Color(), 0.5f);
    arrow.draw(0);
    Image want(600, 300);
    want.blit(0, 0, *picture("Part4/background.pcx"));
    want.blitAdd(0, 0, star.image());
    for (auto [x, y] : {std::pair{400, 0}, std::pair{420, 80}, std::pair{440, 160}}) want.blitKeyed(x, y, arrow.image(), Color());
    EXPECT_EQ(pixelsOf(*frame(12, 0, 0.0)), pixelsOf(want));
}

TEST_F(ObjectScenes, CubeWaveKeysItsFigureAndFlashesOrders15And17) {
    expectAll(*frame(15, 0), white, "order 15 row 0");
    expectAll(*frame(17, 0), white, "order 17 row 0");
    const auto plain = frame(16, 0);
    EXPECT_EQ(pixelsOf(*frame(18, 20)), pixelsOf(*plain));
    EXPECT_EQ(pixelsOf(*frame(15, 16)), pixelsOf(*plain));
    for (int order : {15, 16, 17, 18})
        for (Color c : pixelsOf(*frame(order, 30)))
            ASSERT_FALSE(c.r == 4 && c.g == 252 && c.b == 4) << "the key colour reached the screen in order " << order;
}

TEST_F(ObjectScenes, CubeWaveCopiesANearKeyColour) {
    // A figure of two pixels, the key and a green one step off it, in a data folder of its own.
    const auto dir = TestImages::scratch("nearkey");
    std::filesystem::copy(TINDREL_BUILD_DATA_DIR, dir, std::filesystem::copy_options::recursive);
    std::vector<std::uint8_t> pcx(128, 0);
    pcx[1] = 5, pcx[3] = 8, pcx[8] = 1;  // version 5, 8 bits, 2 × 1
    for (int b : {0x00, 0x01, 12}) pcx.push_back(static_cast<std::uint8_t>(b));
    std::vector<std::uint8_t> palette(768, 0);
    palette[0] = 4, palette[1] = 252, palette[2] = 4;
    palette[3] = 4, palette[4] = 252, palette[5] = 5;
    pcx.insert(pcx.end(), palette.begin(), palette.end());
    std::ofstream(dir / "Part5/gubbe.pcx", std::ios::binary)
        .write(reinterpret_cast<const char*>(pcx.data()), static_cast<std::streamsize>(pcx.size()));

    const auto f = frame(ShowLoad::load(DataFolder(dir)), 16, 0);
    const auto original = frame(16, 0);
    EXPECT_EQ(f->at(1, 60), Color(4, 252, 5, 0));
    EXPECT_EQ(f->at(0, 60), original->at(0, 60)) << "the key is not drawn; what lies under it stays";
}

TEST_F(ObjectScenes, TunnelsAndConesSwitchesFromCubeToOutlinedCones) {
    const auto background = picture("Part7/background.pcx");
    // The view's columns 2 to 379 hold the background and the keyed object alone.
    auto expectObject = [&](int order, float s, bool cones) {
        WobbleView view(378, 300, buildData(), cones ? "Part7/cones.lwo" : "Part7/cube.lwo");
        if (cones) {
            view.setRotation(static_cast<float>(0.7 * s), static_cast<float>(-0.8 * s), static_cast<float>(0.93 * s));
            view.setAmplitude(0.6f);
        }
        view.draw(s);
        if (cones) view.outline();
        Image want(600, 300);
        want.blit(0, 0, *background);
        want.blitKeyed(2, 0, view.image(), Color());
        expectRegion(*frame(order, 40, s), want, 0, 0, 380, 300, cones ? "cones" : "cube");
    };
    expectObject(23, 3.5f, false);
    expectObject(26, 1.25f, false);
    expectObject(27, 1.25f, true);
    expectObject(31, 7.0f, true);
}

TEST_F(ObjectScenes, TunnelsAndConesFlashesOnlyOddOrdersFrom23To29) {
    const auto background = picture("Part7/background.pcx");
    for (int order = 23; order <= 31; ++order) {
        const bool flashes = order == 23 || order == 25 || order == 27 || order == 29;
        EXPECT_EQ(allWhite(*frame(order, 0)), flashes) << order;
        // Columns 0 and 1 show the background alone, or faded half-way at row 8 of a flash.
        const auto want = flashes ? faded(*background, white, 0.5f) : faded(*background, white, 0.0f);
        expectRegion(*frame(order, 8), *want, 0, 0, 2, 300, "left edge");
        expectRegion(*frame(order, 16), *background, 0, 0, 2, 300, "row 16");
    }
}

TEST_F(ObjectScenes, TunnelsAndConesDiscoLevelStopsShortOfFull) {
    // Near where sin(8 sin(1.5 s)) peaks the disco picture is added at 253, and never at 255: on the
    // window's top rim (rows 0 to 3, right of the tunnel) it adds onto the background alone.
    const float s = static_cast<float>(std::asin(std::acos(-1.0) / 16) / 1.5);
    const int level = static_cast<int>((std::sin(8 * std::sin(1.5 * s)) + 1) * 127);
    ASSERT_EQ(level, 253);
    const auto background = picture("Part7/background.pcx");
    const auto disco = picture("Part7/disco.pcx");
    const auto f = frame(24, 30, s);
    for (int y = 0; y < 4; ++y)
        for (int x = 380; x < 600; ++x)
            ASSERT_EQ(f->at(x, y), background->at(x, y).addSaturate(disco->at(x - 380, y).scale(level))) << x << ',' << y;
}
