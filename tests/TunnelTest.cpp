#include "effects/Tunnel.h"
#include "raster/SharedRandom.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::unique_ptr<Image> coordinateTexture() {
    auto t = std::make_unique<Image>(256, 256);
    for (int v = 0; v < 256; ++v)
        for (int u = 0; u < 256; ++u) t->at(u, v) = Color(u, v, 5, 6);
    return t;
}

// The wobbles alone, worked out from their definition.
int depthWobble(int i, int j, int W, int H) {
    return static_cast<int>(30 * (std::sin(0.5 - 0.942 * j / W) + std::sin(0.1 + 2.5120000000000005 * i / H)));
}
int angleWobble(int i, int j, int W, int H) {
    return static_cast<int>(30 * (std::sin(0.8 + 1.57 * j / W) + std::sin(1.0 - 5.338 * i / H)));
}

} // namespace

TEST(Tunnel, CentreEntriesHoldOnlyTheWobbles) {
    auto tex = coordinateTexture();
    const int W = 212, H = 292;
    Tunnel tunnel(W, H, *tex);
    for (int i = H - 1; i <= H + 1; ++i)
        for (int j = W - 1; j <= W + 1; ++j) {
            EXPECT_EQ(tunnel.entry(j, i).depth, depthWobble(i, j, W, H)) << j << ',' << i;
            EXPECT_EQ(tunnel.entry(j, i).angle, angleWobble(i, j, W, H)) << j << ',' << i;
        }
    // Off centre the depth falls with the distance and the angle turns: two steps right of the
    // centre (fx = 1, fy = 0) is a quarter turn, 3000 / 1 deep.
    EXPECT_EQ(tunnel.entry(W + 2, H).depth - depthWobble(H, W + 2, W, H), static_cast<int>(0.4 * 3001));
    EXPECT_EQ(tunnel.entry(W + 2, H).angle - angleWobble(H, W + 2, W, H), static_cast<int>(M_PI / 2 * 81.48735046386719));
}

TEST(Tunnel, DrawsItsFrequenciesFromTheSharedSequenceSeededWith2) {
    auto tex = coordinateTexture();
    Tunnel a(20, 10, *tex);
    const std::uint32_t after = SharedRandom::state();
    SharedRandom::seed(999);
    Tunnel b(20, 10, *tex);
    EXPECT_EQ(SharedRandom::state(), after);

    std::uint32_t state = 2;
    auto draw = [&state] {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 32767u);
    };
    const float q = 3.0518509447574615e-05f;
    for (int k = 0; k < 3; ++k) {
        const int r1 = draw(), r2 = draw(), r3 = draw(), r4 = draw();
        EXPECT_EQ(a.freqX(k), static_cast<float>((static_cast<float>(r1) * q - static_cast<float>(r2) * q) * 1.5)) << k;
        EXPECT_EQ(a.freqY(k), static_cast<float>((static_cast<float>(r3) * q - static_cast<float>(r4) * q) * 1.5)) << k;
        EXPECT_EQ(a.freqX(k), b.freqX(k));
        EXPECT_LE(std::abs(a.freqY(k)), 1.5f);
    }
    EXPECT_EQ(after, state);
}

TEST(Tunnel, AtTimeZeroTheThreeWindowsCoincideAndSumsWrap) {
    auto tex = coordinateTexture();
    const int W = 40, H = 30;
    Tunnel tunnel(W, H, *tex);
    tunnel.draw(0.0f);
    bool sawNegative = false;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const Tunnel::Entry& e = tunnel.entry(x + W / 2, y + H / 2);
            sawNegative = sawNegative || e.angle < 0 || e.depth < 0;
            // A negative sum reads from the far end: its low 8 bits.
            const Color want(static_cast<int>((3u * static_cast<unsigned>(e.depth)) & 255u),
                             static_cast<int>((3u * static_cast<unsigned>(e.angle)) & 255u), 5, 6);
            ASSERT_EQ(tunnel.at(x, y), want) << x << ',' << y;
        }
    EXPECT_TRUE(sawNegative);
}

TEST(Tunnel, RefusesATextureOfAnotherSize) {
    Image tex(256, 128);
    EXPECT_THROW(Tunnel(212, 292, tex), std::invalid_argument);
}
