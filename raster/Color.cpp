#include "raster/Color.h"

#include <algorithm>

namespace {
std::uint8_t byte(unsigned v) { return static_cast<std::uint8_t>(v); }
}

Color Color::addSaturate(Color o) const {
    return Color(std::min(255, r + o.r), std::min(255, g + o.g), std::min(255, b + o.b), 255);
}

Color Color::modulate(Color o) const {
    return Color((r * o.r) >> 8, (g * o.g) >> 8, (b * o.b) >> 8, 255);
}

Color Color::average(Color o) const {
    return Color((r + o.r) >> 1, (g + o.g) >> 1, (b + o.b) >> 1, 255);
}

Color Color::scale(int level) const {
    const unsigned l = byte(static_cast<unsigned>(level));
    return Color((r * l) >> 8, (g * l) >> 8, (b * l) >> 8, 255);
}
