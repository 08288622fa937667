// What each 2D effect draws, pinned as checksums of whole pictures. The other tests hold the
// effects' structure (grid stepping, table entries, visiting order); these catch a changed
// constant in the motion or colour formulas, which keeps every structural property.
//
// After a deliberate change to an effect's look, draw the row again and paste the printed value.

#include "TestImages.h"
#include "effects/BlobWarp.h"
#include "effects/LightSpot.h"
#include "effects/Tunnel.h"
#include "effects/WaveWarp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

using TestImages::checksum;
using TestImages::hex;

namespace {

// Pixel (x, y) is (x, y, x ^ y) in its low bytes: every texel of a 256 × 256 texture differs
// from every other, so a sample one texel off changes the picture. Not the show's textures:
// these checksums pin the effects' code alone.
std::unique_ptr<Image> pattern(int width, int height) {
    auto image = std::make_unique<Image>(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image->at(x, y) = Color(x, y, x ^ y, 0);
    return image;
}

template <class WithImage>
std::uint32_t drawn(WithImage& effect, float t) {
    effect.draw(t);
    return checksum(effect.image());
}

// On the plain loops, which define every result; the vector paths are held to them elsewhere.
class EffectChecksums : public ::testing::Test {
protected:
    TestImages::PlainKernels plain;
    std::unique_ptr<Image> texture = pattern(256, 256);
};

} // namespace

TEST_F(EffectChecksums, BlobWarp) {
    struct Row {
        const char* guards;
        int cols, rows, count;
        float speed, radius, strength;
        int brightness;
        float t;
        std::uint32_t want;
    };
    const Row rows[] = {
        {"the blobs' starting places and the lookup's fixed terms", 76, 38, 3, 1.0f, 150.0f, 1.0f, 255, 0.0f, 0xdec249e1},
        {"the blob light's blobs on their paths, the texture scrolling", 76, 38, 3, 1.0f, 150.0f, 1.0f, 255, 7.25f, 0x6202ca0b},
        {"the glowing band's: more blobs, slower, weaker and dimmed", 76, 25, 7, 0.3f, 90.0f, 1.875f, 100, 41.5f, 0xa9c830cb},
        {"every blob, overlapping: light held at 255, the push's sines wrapping", 76, 38, 20, 1.0f, 220.0f, 1.5f, 255, 3.0f, 0xd9ddd4dc},
    };
    for (const Row& row : rows) {
        BlobWarp warp(row.cols, row.rows, *texture, row.count, row.speed, row.radius);
        warp.setStrength(row.strength);
        warp.setBrightness(row.brightness);
        EXPECT_EQ(hex(drawn(warp, row.t)), hex(row.want)) << row.guards;
    }
}

TEST_F(EffectChecksums, WaveWarp) {
    struct Row {
        const char* guards;
        float speed, t;
        std::uint32_t want;
    };
    const Row rows[] = {
        {"the waves' phases across columns, rows and diagonals, and the tint's ramps", 1.0f, 0.0f, 0x31186b1e},
        {"the wave warp's waves travelling: each wave's rate in time", 1.0f, 2.5f, 0xff817ec2},
        {"the speed, and phases far from zero", 0.5f, 90.0f, 0xc90afcf9},
    };
    for (const Row& row : rows) {
        WaveWarp warp(51, 38, *texture, row.speed);
        EXPECT_EQ(hex(drawn(warp, row.t)), hex(row.want)) << row.guards;
    }
}

TEST_F(EffectChecksums, Tunnel) {
    struct Row {
        const char* guards;
        float t;
        std::uint32_t want;
    };
    const Row rows[] = {
        {"the table: depth, angle and wobbles, the three windows at rest", 0.0f, 0xe81df588},
        {"the windows' wandering and the scroll", 1.25f, 0xe22cc9d3},
        {"a late time: the scroll wrapped many times over, the windows far apart", 37.5f, 0xb8ffea0a},
    };
    for (const Row& row : rows) {
        Tunnel tunnel(212, 292, *texture);
        EXPECT_EQ(hex(drawn(tunnel, row.t)), hex(row.want)) << row.guards;
    }
}

TEST_F(EffectChecksums, LightSpot) {
    struct Row {
        const char* guards;
        int x, y, level, step;
        std::uint32_t want;
    };
    const Row rows[] = {
        {"the defaults: rays from the middle", 300, 150, 230, 5000, 0x4cb63d42},
        {"the opening's: off centre, a short step", 427, 150, 213, 2000, 0xfcb32fad},
        {"a corner centre and the longest step: sources reaching back to the centre", 599, 0, 200, 65535, 0x6d3b6e53},
        {"step 0 and a faint level: each pixel blended with its inward neighbour", 599, 299, 40, 0, 0xe020e5eb},
    };
    for (const Row& row : rows) {
        auto target = pattern(600, 300);
        LightSpot light(*target);
        light.set(row.x, row.y, row.level, row.step);
        light.draw(0.0f);
        EXPECT_EQ(hex(checksum(*target)), hex(row.want)) << row.guards;
    }
}
