#include "effects/Tunnel.h"

#include "effects/TunnelKernels.h"
#include "effects/WarpMath.h"
#include "raster/ImageKernels.h"
#include "raster/Random.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

void Tunnel::checkTexture(int width, int height) {
    if (width != 256 || height != 256)
        throw std::invalid_argument("Texture must be 256 × 256 for the tunnel, not " + std::to_string(width) + " × " +
                                    std::to_string(height));
}

Tunnel::Tunnel(int w, int h, const Image& texture) : output_(w, h), texture_(texture.pixels()) {
    checkTexture(texture.width(), texture.height());
    if (w < 2 || h < 2) throw std::invalid_argument("The tunnel needs an output of at least 2 × 2");

    const int W = w, H = h;
    // Positions are halved before the distance and the angle, so each (fx, fy) serves about
    // four entries, and the wobbles depend on the row or the column alone: each transcendental
    // is taken once per distinct argument, with the very expression it has per entry.
    const int fxMin = -W / 2, fxCount = (W - 1) / 2 - fxMin + 1;
    const int fyMin = -H / 2, fyCount = (H - 1) / 2 - fyMin + 1;
    std::vector<double> powX(static_cast<std::size_t>(fxCount));
    std::vector<float> powY(static_cast<std::size_t>(fyCount));
    for (int fx = fxMin; fx < fxMin + fxCount; ++fx) powX[static_cast<std::size_t>(fx - fxMin)] = std::pow(fx, 16.0);
    for (int fy = fyMin; fy < fyMin + fyCount; ++fy)
        powY[static_cast<std::size_t>(fy - fyMin)] = static_cast<float>(std::pow(fy, 16.0));
    struct Polar {
        std::int32_t depth, angle;
    };
    std::vector<Polar> polar(static_cast<std::size_t>(fxCount) * fyCount);
    for (int fy = fyMin; fy < fyMin + fyCount; ++fy)
        for (int fx = fxMin; fx < fxMin + fxCount; ++fx) {
            const double d =
                std::pow(powX[static_cast<std::size_t>(fx - fxMin)] + powY[static_cast<std::size_t>(fy - fyMin)], 0.0625);
            const int near = d == 0.0 ? 0 : truncToInt(d + 3000 / d);
            // 81.487... turns a half turn into 256 steps: one turn spans the texture twice.
            polar[static_cast<std::size_t>(fy - fyMin) * fxCount + (fx - fxMin)] = {
                truncToInt(0.4 * near), truncToInt(std::atan2(fx, fy) * 81.48735046386719)};
        }
    std::vector<double> depthWobbleX(static_cast<std::size_t>(2 * W)), angleWobbleX(depthWobbleX.size());
    for (int j = 0; j < 2 * W; ++j) {
        depthWobbleX[static_cast<std::size_t>(j)] = std::sin(0.5 - 0.942 * j / W);
        angleWobbleX[static_cast<std::size_t>(j)] = std::sin(0.8 + 1.57 * j / W);
    }

    table_.resize(static_cast<std::size_t>(4) * W * H);
    sums_.resize(static_cast<std::size_t>(2) * W);
    for (int i = 0; i < 2 * H; ++i) {
        const double depthWobbleY = std::sin(0.1 + 2.5120000000000005 * i / H);
        const double angleWobbleY = std::sin(1.0 - 5.338 * i / H);
        // Halved, so the three centre rows and columns share 0 and the rest come in pairs.
        const Polar* polarRow = &polar[static_cast<std::size_t>((i - H) / 2 - fyMin) * fxCount];
        for (int j = 0; j < 2 * W; ++j) {
            const Polar& p = polarRow[(j - W) / 2 - fxMin];
            const std::int32_t depth = p.depth + truncToInt(30 * (depthWobbleX[static_cast<std::size_t>(j)] + depthWobbleY));
            const std::int32_t angle = p.angle + truncToInt(30 * (angleWobbleX[static_cast<std::size_t>(j)] + angleWobbleY));
            // Only the low 8 bits of a sum pick a texel, and they are the sum of the parts' low 8 bits.
            table_[static_cast<std::size_t>(i) * 2 * W + j] = {static_cast<std::uint8_t>(depth),
                                                               static_cast<std::uint8_t>(angle)};
        }
    }

    Random random(2);
    const float q = 1.0f / 32767;
    for (int k = 0; k < tunnels; ++k) {
        const int r1 = random.next(), r2 = random.next();
        const int r3 = random.next(), r4 = random.next();
        freqX_[k] = static_cast<float>((static_cast<float>(r1) * q - static_cast<float>(r2) * q) * 1.5);
        freqY_[k] = static_cast<float>((static_cast<float>(r3) * q - static_cast<float>(r4) * q) * 1.5);
    }
}

namespace {

// Apart, so the compiler knows the two runs never overlap and vectorises the sums.
void addBytes(std::uint8_t* __restrict to, const std::uint8_t* __restrict from, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) to[i] = static_cast<std::uint8_t>(to[i] + from[i]);
}

// One row of texels from the summed (column, row) byte pairs.
void texelsPlain(Color* out, const Color* texture, const std::uint8_t* sums, std::size_t count) {
    for (std::size_t x = 0; x < count; ++x) out[x] = texture[sums[2 * x + 1] * 256 + sums[2 * x]];
}

} // namespace

const TunnelKernels referenceTunnelKernels = {texelsPlain};

const TunnelKernels& TunnelKernels::forPath([[maybe_unused]] ImageKernels::Path path) {
#if defined(__x86_64__)
    if (path == ImageKernels::Path::avx2) return avx2TunnelKernels;
#endif
    return referenceTunnelKernels;
}

void Tunnel::draw(float t) {
    const int W = output_.width(), H = output_.height();
    std::array<const std::uint8_t*, tunnels> cursor;
    for (int k = 0; k < tunnels; ++k) {
        const int offX = truncToInt(std::sin(static_cast<double>(freqX_[k] * t)) * (W / 2 - 1));
        const int offY = truncToInt(std::sin(static_cast<double>(freqY_[k] * t)) * (H / 2 - 1));
        cursor[k] = &table_[static_cast<std::size_t>(offY + H / 2) * 2 * W + (offX + W / 2)].depth;
    }
    // Only the low 8 bits of a sum pick a texel, negative sums included, so the scroll and the
    // entries add as bytes. Added byte by byte, a row's depth and angle pairs become the texels'
    // columns and rows side by side, which vectorises; the texel reads follow.
    const auto scroll = static_cast<std::uint8_t>(truncToInt(t * 150.0));
    const std::size_t rowBytes = 2 * static_cast<std::size_t>(W);
    std::uint8_t* sums = sums_.data();
    Color* out = output_.pixels();
    const TunnelKernels::Texels texels = TunnelKernels::active().texels;
    for (int y = 0; y < H; ++y) {
        std::fill_n(sums, rowBytes, scroll);
        for (const std::uint8_t*& c : cursor) {
            addBytes(sums, c, rowBytes);
            c += 2 * rowBytes;
        }
        texels(out, texture_, sums, static_cast<std::size_t>(W));
        out += W;
    }
}
