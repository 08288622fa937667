#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Reduces a true-colour picture to 256 colours with libimagequant.
class PaletteQuantizer {
public:
    struct Result {
        std::array<std::uint8_t, 768> palette{};  // red, green, blue per entry
        std::vector<std::uint8_t> indices;        // one per pixel, row after row
    };
    struct Options {
        float dithering = 0.5f;  // 0 none; dither only where banding shows
        // Colours that must come out exactly (a key colour, pure black for additive layers).
        std::vector<std::uint32_t> fixed;  // 0xRRGGBB
    };
    // rgba: 4 bytes a pixel. Throws std::runtime_error when the quantiser fails.
    static Result quantize(const std::vector<std::uint8_t>& rgba, int width, int height, const Options& options);
};
