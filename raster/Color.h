#pragma once

#include "raster/BitCast.h"

#include <cstdint>

// One pixel: bytes blue, green, red, alpha in memory order, so an image's memory is a run of
// little-endian 0xAARRGGBB words that the display takes as they are. Alpha is carried, never
// used as an opacity: the four arithmetic operations set it to 255, loaders and clears to 0.
struct Color {
    std::uint8_t b = 0;
    std::uint8_t g = 0;
    std::uint8_t r = 0;
    std::uint8_t a = 0;

    constexpr Color() = default;
    // Argument order red, green, blue, alpha; only the low 8 bits of each are kept.
    constexpr Color(int red, int green, int blue, int alpha)
        : b(static_cast<std::uint8_t>(blue)), g(static_cast<std::uint8_t>(green)),
          r(static_cast<std::uint8_t>(red)), a(static_cast<std::uint8_t>(alpha)) {}

    // Defined here so the per-pixel loops of every effect inline them.
    constexpr Color addSaturate(Color o) const {
        return Color(sat(r + o.r), sat(g + o.g), sat(b + o.b), 255);
    }
    // (this × other) >> 8 per channel, so white × white is 254, not 255.
    constexpr Color modulate(Color o) const {
        return Color((r * o.r) >> 8, (g * o.g) >> 8, (b * o.b) >> 8, 255);
    }
    // (this + other) >> 1 per channel; the half is dropped. Worked on the whole word as
    // (x & y) + ((x ^ y) >> 1) per byte, the mask keeping each byte's shift to itself: the
    // blur's sweeps chain one average into the next, so its latency is theirs.
    constexpr Color average(Color o) const {
        const auto x = bitCast<std::uint32_t>(*this), y = bitCast<std::uint32_t>(o);
        constexpr auto opaque = bitCast<std::uint32_t>(Color(0, 0, 0, 255));
        return bitCast<Color>(((x & y) + (((x ^ y) >> 1) & 0x7F7F7F7Fu)) | opaque);
    }
    // Only the low 8 bits of level count: 255 darkens slightly, 256 acts as 0.
    constexpr Color scale(int level) const {
        const int l = level & 0xFF;
        return Color((r * l) >> 8, (g * l) >> 8, (b * l) >> 8, 255);
    }

    friend constexpr bool operator==(Color, Color) = default;

private:
    static constexpr int sat(int v) { return v < 255 ? v : 255; }
};

static_assert(sizeof(Color) == 4, "an image's memory is handed to the display as 32-bit pixels");
