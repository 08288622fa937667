#include "effects/GridWarp.h"

#include "raster/ImageKernels.h"

#include <array>
#include <stdexcept>
#include <string>

void GridWarp::checkTexture(int width, int height) {
    if (width != textureSide || height != textureSide)
        throw std::invalid_argument("Texture must be 256 × 256 for a warp, not " + std::to_string(width) + " × " +
                                    std::to_string(height));
}

GridWarp::GridWarp(int c, int r, const Image& texture)
    : cols(c), rows(r), output_(std::max(c - 1, 0) * 8, std::max(r - 1, 0) * 8), texture_(texture.pixels()) {
    checkTexture(texture.width(), texture.height());
    if (c < 2 || r < 2) throw std::invalid_argument("A warp grid needs at least 2 × 2 nodes");
    nodes.resize(static_cast<std::size_t>(c) * r);
    // Room for the renderer with the most channels.
    const std::size_t values = static_cast<std::size_t>(c) * WarpKernels::tintedChannels;
    edge_.resize(values);
    edgeStep_.resize(values);
    at_.resize(values);
    span_.resize(values);
}

namespace {

// Bits 16 to 23 of a 16.16 value: the byte a Color keeps of its integer part.
int byteOf(std::uint32_t fixed) { return static_cast<int>((fixed >> 16) & 0xFFu); }

void shadedRow(Color* out, const Color* texture, int cells, const std::uint32_t* at, const std::uint32_t* span) {
    for (int c = 0; c < cells; ++c, at += 3, span += 3) {
        std::uint32_t u = at[0], v = at[1], level = at[2];
        for (int x = 0; x < 8; ++x, u += span[0], v += span[1], level += span[2])
            *out++ = texture[byteOf(v) * GridWarp::textureSide + byteOf(u)].scale(byteOf(level));
    }
}

void tintedRow(Color* out, const Color* texture, int cells, const std::uint32_t* at, const std::uint32_t* span) {
    for (int c = 0; c < cells; ++c, at += 5, span += 5) {
        std::uint32_t u = at[0], v = at[1], r = at[2], g = at[3], b = at[4];
        for (int x = 0; x < 8; ++x, u += span[0], v += span[1], r += span[2], g += span[3], b += span[4]) {
            const Color tint(byteOf(r), byteOf(b), byteOf(g), 255);
            *out++ = texture[byteOf(v) * GridWarp::textureSide + byteOf(u)].modulate(tint);
        }
    }
}

void stepEdges(std::int64_t* edge, const std::int64_t* down, std::uint32_t* at, std::uint32_t* span, std::size_t values,
               int channels) {
    stepWarpEdges(edge, down, at, span, values, channels);
}

} // namespace

const WarpKernels referenceWarpKernels = {shadedRow, tintedRow, stepEdges};

const WarpKernels& WarpKernels::forPath([[maybe_unused]] ImageKernels::Path path) {
#if defined(__x86_64__)
    if (path == ImageKernels::Path::avx2) return avx2WarpKernels;
#endif
    return referenceWarpKernels;
}

// The cell walk shared by both renderers. Channel 0 and 1 are u and v; the rest are what load
// takes from a node. A node column's values run down its edge in 16.16 steps of an eighth of
// the way to the next node, in 64 bits: far coordinates cannot overflow, and the bits that pick
// the texel are those 32-bit arithmetic would give. Each cell's row then steps an eighth of the
// way from its left edge to its right. The row loops only read bits 16 to 23, which sums modulo
// 2^32 keep, so they step the low 32 bits.
template <int Channels, class Load>
void GridWarp::render(Load load, WarpKernels::Row WarpKernels::*rowOf) {
    const std::size_t columns = static_cast<std::size_t>(cols);
    std::int64_t* edge = edge_.data();
    std::int64_t* down = edgeStep_.data();
    std::uint32_t* at = at_.data();
    std::uint32_t* span = span_.data();
    Color* out = output_.pixels();
    const WarpKernels& kernels = WarpKernels::active();
    const WarpKernels::Step stepEdges = kernels.stepEdges;
    const WarpKernels::Row drawRow = kernels.*rowOf;
    for (int i = 0; i + 1 < rows; ++i) {
        for (std::size_t j = 0; j < columns; ++j) {
            const std::array<std::int32_t, Channels> top = load(node(static_cast<int>(j), i));
            const std::array<std::int32_t, Channels> bottom = load(node(static_cast<int>(j), i + 1));
            for (int ch = 0; ch < Channels; ++ch) {
                edge[j * Channels + ch] = std::int64_t{top[ch]} * 65536;
                down[j * Channels + ch] = (std::int64_t{bottom[ch]} * 65536 - edge[j * Channels + ch]) >> 3;
            }
        }
        for (int k = 0; k < 8; ++k) {
            // The edges advance before the row is drawn: the top nodes' own values are never
            // drawn, and the last row falls short of the bottom nodes by what the shifts drop.
            stepEdges(edge, down, at, span, columns * Channels, Channels);
            drawRow(out + static_cast<std::size_t>(8 * i + k) * output_.width(), texture_, cols - 1, at, span);
        }
    }
}

void GridWarp::renderShaded() {
    render<WarpKernels::shadedChannels>(
        [](const GridWarpNode& n) { return std::array<std::int32_t, 3>{n.u, n.v, n.colour.a}; },
        &WarpKernels::shadedRow);
}

void GridWarp::renderTinted() {
    render<WarpKernels::tintedChannels>(
        [](const GridWarpNode& n) { return std::array<std::int32_t, 5>{n.u, n.v, n.colour.r, n.colour.g, n.colour.b}; },
        &WarpKernels::tintedRow);
}
