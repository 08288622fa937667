#pragma once

#include "effects/Effect.h"
#include "effects/WarpKernels.h"
#include "raster/Image.h"

#include <cstdint>
#include <vector>

// One node of a warp grid: the texel it shows and its light or tint.
struct GridWarpNode {
    std::int32_t u = 0;  // texture column; any value, wrapped modulo 256 when sampled
    std::int32_t v = 0;  // texture row, likewise
    Color colour;        // BlobWarp: light level in alpha; WaveWarp: a tint
};

// A texture distorted through a coarse grid: a node every 8 pixels each way carries a texture
// coordinate and a light or tint, computed per frame in floating point by a concrete kind; the
// renderers fill each 8 × 8 cell by stepping those values in 16.16 fixed point.
//
// Node (c, r) sits at pixel (8c, 8r); the output is (cols − 1) × 8 by (rows − 1) × 8, so the
// last node column and row lie one pixel beyond it. The texture is 256 × 256, wraps both ways,
// is borrowed and must outlive the effect.
class GridWarp : public Effect {
public:
    static constexpr int textureSide = 256;

    // Throws std::invalid_argument for a texture that is not 256 × 256 or a grid under 2 × 2.
    GridWarp(int cols, int rows, const Image& texture);
    // The constructor's texture refusal alone, for a loader to apply before it makes the texture.
    static void checkTexture(int width, int height);

    // The output, drawn by the renderers.
    Image& image() { return output_; }
    const Image& image() const { return output_; }

    GridWarpNode& node(int c, int r) { return nodes[static_cast<std::size_t>(r) * cols + c]; }

    // Texel × the interpolated light level (the node colours' alpha).
    void renderShaded();
    // Texel × the interpolated tint, whose green and blue come from the nodes' blue and green:
    // crossed on purpose, the show's colours are made with it.
    void renderTinted();

protected:
    std::vector<GridWarpNode> nodes;
    int cols;
    int rows;

private:
    // Asks the kernel table once a frame; rowOf picks the renderer's row loop in it.
    template <int Channels, class Load>
    void render(Load load, WarpKernels::Row WarpKernels::*rowOf);

    Image output_;
    const Color* texture_;
    // The renderers' scratch, sized once: per node column its values down the edge and their
    // steps, per cell its values at the row's start and their steps along it.
    std::vector<std::int64_t> edge_;
    std::vector<std::int64_t> edgeStep_;
    std::vector<std::uint32_t> at_;
    std::vector<std::uint32_t> span_;
};
