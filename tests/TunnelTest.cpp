#include "KernelCases.h"
#include "effects/Tunnel.h"
#include "effects/TunnelKernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

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

// The table keeps only the low 8 bits, all a texel pick reads; negative values included.
std::uint8_t lowByte(int v) { return static_cast<std::uint8_t>(v); }

} // namespace

TEST(Tunnel, CentreEntriesHoldOnlyTheWobbles) {
    auto tex = coordinateTexture();
    const int W = 212, H = 292;
    Tunnel tunnel(W, H, *tex);
    for (int i = H - 1; i <= H + 1; ++i)
        for (int j = W - 1; j <= W + 1; ++j) {
            EXPECT_EQ(tunnel.entry(j, i).depth, lowByte(depthWobble(i, j, W, H))) << j << ',' << i;
            EXPECT_EQ(tunnel.entry(j, i).angle, lowByte(angleWobble(i, j, W, H))) << j << ',' << i;
        }
    // Off centre the depth falls with the distance and the angle turns: two steps right of the
    // centre (fx = 1, fy = 0) is a quarter turn, 3000 / 1 deep.
    EXPECT_EQ(lowByte(tunnel.entry(W + 2, H).depth - depthWobble(H, W + 2, W, H)), lowByte(static_cast<int>(0.4 * 3001)));
    EXPECT_EQ(lowByte(tunnel.entry(W + 2, H).angle - angleWobble(H, W + 2, W, H)),
              lowByte(static_cast<int>(M_PI / 2 * 81.48735046386719)));
}

TEST(Tunnel, DrawsItsFrequenciesFromTheSequenceSeededWith2) {
    auto tex = coordinateTexture();
    Tunnel a(20, 10, *tex);
    Tunnel b(20, 10, *tex);

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
}

TEST(Tunnel, AtTimeZeroTheThreeWindowsCoincideAndSumsWrap) {
    auto tex = coordinateTexture();
    const int W = 40, H = 30;
    Tunnel tunnel(W, H, *tex);
    tunnel.draw(0.0f);
    bool sawWrap = false;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const Tunnel::Entry& e = tunnel.entry(x + W / 2, y + H / 2);
            sawWrap = sawWrap || 3 * e.angle > 255 || 3 * e.depth > 255;
            // A sum past the texture's edge (negative ones included) reads its low 8 bits.
            const Color want(static_cast<int>((3u * static_cast<unsigned>(e.depth)) & 255u),
                             static_cast<int>((3u * static_cast<unsigned>(e.angle)) & 255u), 5, 6);
            ASSERT_EQ(tunnel.image().at(x, y), want) << x << ',' << y;
        }
    EXPECT_TRUE(sawWrap);
}

TEST(Tunnel, RefusesATextureOfAnotherSize) {
    Image tex(256, 128);
    EXPECT_THROW(Tunnel(212, 292, tex), std::invalid_argument);
}

// The table is built from shared per-row, per-column and per-(fx, fy) parts; every entry must
// still be what its own expression gives, for the show's size and odd ones.
TEST(Tunnel, EveryEntryIsWhatItsOwnExpressionGives) {
    auto tex = coordinateTexture();
    for (auto [W, H] : {std::pair{600, 300}, std::pair{37, 23}, std::pair{2, 3}}) {
        Tunnel tunnel(W, H, *tex);
        for (int i = 0; i < 2 * H; ++i)
            for (int j = 0; j < 2 * W; ++j) {
                const int fy = (i - H) / 2, fx = (j - W) / 2;
                const double d = std::pow(std::pow(fx, 16.0) + static_cast<float>(std::pow(fy, 16.0)), 0.0625);
                const int near = d == 0.0 ? 0 : static_cast<int>(d + 3000 / d);
                const int depth = static_cast<int>(0.4 * near) + depthWobble(i, j, W, H);
                const int angle = static_cast<int>(std::atan2(fx, fy) * 81.48735046386719) + angleWobble(i, j, W, H);
                ASSERT_EQ(tunnel.entry(j, i).depth, lowByte(depth)) << W << " × " << H << " at " << j << ',' << i;
                ASSERT_EQ(tunnel.entry(j, i).angle, lowByte(angle)) << W << " × " << H << " at " << j << ',' << i;
            }
    }
}

TEST(Tunnel, TexelKernelsMatchThePlainLoop) {
    using KernelCases::Random;
    KernelCases::expectSetsMatchPlain<TunnelKernels>("texels", [](const TunnelKernels& k, Random& r, int n) {
        std::vector<Color> texture(256 * 256);
        for (Color& texel : texture) {
            const std::uint32_t word = r.next();
            std::memcpy(static_cast<void*>(&texel), &word, sizeof word);
        }
        // Rows of every length past a few vectors, from any start; the pixels around the row must
        // come out as they went in.
        const int count = r.between(0, 1 + n / 4), offset = r.below(8);
        std::vector<std::uint8_t> sums(2 * static_cast<std::size_t>(count));
        for (std::uint8_t& sum : sums) sum = r.byte();
        std::vector<Color> out(static_cast<std::size_t>(count + offset + 8));
        for (Color& c : out) c = r.color();
        k.texels(out.data() + offset, texture.data(), sums.data(), sums.size() / 2);
        return KernelCases::bytesOf(out.data(), out.size());
    });
}
