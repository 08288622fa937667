#include "effects/Tunnel.h"

#include "effects/WarpMath.h"
#include "raster/SharedRandom.h"

#include <cmath>
#include <stdexcept>
#include <string>

Tunnel::Tunnel(int w, int h, const Image& texture) : Effect(w, h), texture_(texture.pixels()) {
    if (texture.width != 256 || texture.height != 256)
        throw std::invalid_argument("Texture must be 256 × 256 for the tunnel, not " + std::to_string(texture.width) +
                                    " × " + std::to_string(texture.height));
    if (w < 2 || h < 2) throw std::invalid_argument("The tunnel needs an output of at least 2 × 2");

    const int W = w, H = h;
    table_.resize(static_cast<std::size_t>(4) * W * H);
    for (int i = 0; i < 2 * H; ++i)
        for (int j = 0; j < 2 * W; ++j) {
            // Halved, so the three centre rows and columns share 0 and the rest come in pairs.
            const int fy = (i - H) / 2;
            const int fx = (j - W) / 2;
            const double d = std::pow(std::pow(fx, 16.0) + static_cast<float>(std::pow(fy, 16.0)), 0.0625);
            const int near = d == 0.0 ? 0 : truncToInt(d + 3000 / d);
            std::int32_t depth = truncToInt(0.4 * near);
            // 81.487... turns a half turn into 256 steps: one turn spans the texture twice.
            std::int32_t angle = truncToInt(std::atan2(fx, fy) * 81.48735046386719);
            depth += truncToInt(30 * (std::sin(0.5 - 0.942 * j / W) + std::sin(0.1 + 2.5120000000000005 * i / H)));
            angle += truncToInt(30 * (std::sin(0.8 + 1.57 * j / W) + std::sin(1.0 - 5.338 * i / H)));
            table_[static_cast<std::size_t>(i) * 2 * W + j] = {depth, angle};
        }

    SharedRandom::seed(2);
    const float q = 1.0f / 32767;
    for (int k = 0; k < tunnels; ++k) {
        const int r1 = SharedRandom::next(), r2 = SharedRandom::next();
        const int r3 = SharedRandom::next(), r4 = SharedRandom::next();
        freqX_[k] = static_cast<float>((static_cast<float>(r1) * q - static_cast<float>(r2) * q) * 1.5);
        freqY_[k] = static_cast<float>((static_cast<float>(r3) * q - static_cast<float>(r4) * q) * 1.5);
    }
}

void Tunnel::draw(float t) {
    const int W = width, H = height;
    std::array<const Entry*, tunnels> cursor;
    for (int k = 0; k < tunnels; ++k) {
        const int offX = truncToInt(std::sin(static_cast<double>(freqX_[k] * t)) * (W / 2 - 1));
        const int offY = truncToInt(std::sin(static_cast<double>(freqY_[k] * t)) * (H / 2 - 1));
        cursor[k] = &table_[static_cast<std::size_t>(offY + H / 2) * 2 * W + (offX + W / 2)];
    }
    const std::int32_t base = truncToInt(t * 150.0);
    Color* out = pixels();
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            // Unsigned sums: only the low 8 bits pick the texel, negative sums included.
            std::uint32_t u = static_cast<std::uint32_t>(base), v = static_cast<std::uint32_t>(base);
            for (const Entry*& c : cursor) {
                u += static_cast<std::uint32_t>(c->depth);
                v += static_cast<std::uint32_t>(c->angle);
                ++c;
            }
            *out++ = texture_[(v & 255) * 256 + (u & 255)];
        }
        for (const Entry*& c : cursor) c += W;
    }
}
