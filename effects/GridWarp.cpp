#include "effects/GridWarp.h"

#include <array>
#include <stdexcept>
#include <string>

GridWarp::GridWarp(int c, int r, const Image& texture)
    : Effect(std::max(c - 1, 0) * 8, std::max(r - 1, 0) * 8), cols(c), rows(r), texture_(texture.pixels()) {
    if (texture.width != textureSide || texture.height != textureSide)
        throw std::invalid_argument("Texture must be 256 × 256 for a warp, not " + std::to_string(texture.width) +
                                    " × " + std::to_string(texture.height));
    if (c < 2 || r < 2) throw std::invalid_argument("A warp grid needs at least 2 × 2 nodes");
    nodes.resize(static_cast<std::size_t>(c) * r);
}

// The cell walk shared by both renderers. Channel 0 and 1 are u and v; the rest are what load
// takes from a node. Values are 16.16 in 64 bits: far coordinates cannot overflow, and the bits
// that pick the texel are those 32-bit arithmetic would give.
template <int Channels, class Load, class Shade>
void GridWarp::render(Load load, Shade shade) {
    using Values = std::array<std::int64_t, Channels>;
    auto fixed = [&](const GridWarpNode& n) {
        const std::array<std::int32_t, Channels> raw = load(n);
        Values f;
        for (int ch = 0; ch < Channels; ++ch) f[ch] = static_cast<std::int64_t>(raw[ch]) * 65536;
        return f;
    };
    Color* out = pixels();
    for (int i = 0; i + 1 < rows; ++i)
        for (int j = 0; j + 1 < cols; ++j) {
            const Values tl = fixed(node(j, i)), tr = fixed(node(j + 1, i));
            const Values bl = fixed(node(j, i + 1)), br = fixed(node(j + 1, i + 1));
            Values left = tl, right = tr, leftStep, rightStep;
            for (int ch = 0; ch < Channels; ++ch) {
                leftStep[ch] = (bl[ch] - tl[ch]) >> 3;
                rightStep[ch] = (br[ch] - tr[ch]) >> 3;
            }
            for (int k = 0; k < 8; ++k) {
                // The edges advance before the row is drawn: the top nodes' own values are never
                // drawn, and the last row falls short of the bottom nodes by what the shifts drop.
                Values at, span;
                for (int ch = 0; ch < Channels; ++ch) {
                    left[ch] += leftStep[ch];
                    right[ch] += rightStep[ch];
                    span[ch] = (right[ch] - left[ch]) >> 3;
                    at[ch] = left[ch];
                }
                Color* row = out + static_cast<std::size_t>(8 * i + k) * width + 8 * j;
                for (int x = 0; x < 8; ++x) {
                    const Color texel = texture_[((at[1] >> 16) & 255) * textureSide + ((at[0] >> 16) & 255)];
                    row[x] = shade(texel, at);
                    for (int ch = 0; ch < Channels; ++ch) at[ch] += span[ch];
                }
            }
        }
}

void GridWarp::renderShaded() {
    render<3>([](const GridWarpNode& n) { return std::array<std::int32_t, 3>{n.u, n.v, n.colour.a}; },
              [](Color texel, const std::array<std::int64_t, 3>& at) {
                  return texel.scale(static_cast<int>(at[2] >> 16));
              });
}

void GridWarp::renderTinted() {
    render<5>([](const GridWarpNode& n) { return std::array<std::int32_t, 5>{n.u, n.v, n.colour.r, n.colour.g, n.colour.b}; },
              [](Color texel, const std::array<std::int64_t, 5>& at) {
                  const Color tint(static_cast<int>(at[2] >> 16), static_cast<int>(at[4] >> 16),
                                   static_cast<int>(at[3] >> 16), 255);
                  return texel.modulate(tint);
              });
}
