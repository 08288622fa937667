#pragma once

#include "effects/Effect.h"
#include "raster/Image.h"

#include <array>
#include <cstdint>
#include <vector>

// Three overlaid tunnels wandering over a polar lookup table. The table, twice the output's
// size each way, holds a depth and an angle per position (a 16-norm distance, so the tunnel's
// cross-section is a square with soft corners, both bent by fixed wobbles). A frame lays three
// output-sized windows over it, shifted by sine motions, sums their depths and angles, adds a
// time scroll and reads the texture there: table reads, adds and texel copies only.
//
// The motion frequencies are drawn from the random sequence seeded with 2, so every tunnel
// wanders alike. The texture is 256 × 256, borrowed, and must outlive it.
class Tunnel : public Effect {
public:
    static constexpr int tunnels = 3;

    // The low 8 bits of a position's depth and angle: all that a texel pick reads of them.
    struct Entry {
        std::uint8_t depth;
        std::uint8_t angle;
    };
    static_assert(sizeof(Entry) == 2, "a row of entries is read as a row of bytes");

    // Throws std::invalid_argument for a texture that is not 256 × 256 or an empty output.
    Tunnel(int width, int height, const Image& texture);
    // The constructor's texture refusal alone, for a loader to apply before it makes the texture.
    static void checkTexture(int width, int height);
    void draw(float t) override;
    Image& image() { return output_; }
    const Image& image() const { return output_; }

    const Entry& entry(int column, int row) const { return table_[static_cast<std::size_t>(row) * 2 * output_.width() + column]; }
    float freqX(int k) const { return freqX_[k]; }
    float freqY(int k) const { return freqY_[k]; }

private:
    Image output_;
    const Color* texture_;
    std::vector<Entry> table_;
    std::vector<std::uint8_t> sums_;  // one output row's texel columns and rows, interleaved
    std::array<float, tunnels> freqX_{};
    std::array<float, tunnels> freqY_{};
};
