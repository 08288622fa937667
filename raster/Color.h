#pragma once

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

    Color addSaturate(Color other) const;
    // (this × other) >> 8 per channel, so white × white is 254, not 255.
    Color modulate(Color other) const;
    // (this + other) >> 1 per channel; the half is dropped.
    Color average(Color other) const;
    // Only the low 8 bits of level count: 255 darkens slightly, 256 acts as 0.
    Color scale(int level) const;

    friend constexpr bool operator==(Color, Color) = default;
};

static_assert(sizeof(Color) == 4, "an image's memory is handed to the display as 32-bit pixels");
