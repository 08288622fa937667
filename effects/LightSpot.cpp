#include "effects/LightSpot.h"

#include <algorithm>

LightSpot::LightSpot(Image& target)
    : Effect(target.width, target.height), target_(target), centreX_(target.width / 2), centreY_(target.height / 2) {}

void LightSpot::set(int x, int y, int level, int step) {
    centreX_ = std::clamp(x, 0, std::max(width - 1, 0));
    centreY_ = std::clamp(y, 0, std::max(height - 1, 0));
    level_ = static_cast<std::uint8_t>(level);
    step_ = std::clamp(step, 0, 65535);
}

void LightSpot::draw(float) {
    const int W = width;
    const int H = height;
    if (W <= 0 || H <= 0) return;
    const int S = step_;
    const int L = level_;
    const int cx = centreX_;
    const int cy = centreY_;
    Color* const P = target_.pixels();

    // The source is read at the moment of the blend, so it may already be rewritten: that
    // feedback is what turns a smear into rays.
    auto blend = [L](Color& dest, Color src) { dest = dest.scale(255 - L).addSaturate(src.scale(L)); };

    // One row: the left run walks from the centre column to 0, the right run from cx + 1 to the
    // edge. Accumulators are 16.16 and floor with an arithmetic shift. The right run's
    // accumulator starts at rightStart: 0 above the centre, S below it (the halves differ by
    // one step, and the picture shows it).
    auto row = [&](int y, int sy, int rightStart) {
        Color* dst = P + static_cast<std::size_t>(y) * W;
        const Color* src = P + static_cast<std::size_t>(sy) * W;
        int ax = 0;
        for (int x = cx; x >= 0; --x, ax -= S) blend(dst[x], src[x - (ax >> 16)]);
        ax = rightStart;
        for (int x = cx + 1; x < W; ++x, ax += S) blend(dst[x], src[x - 1 - (ax >> 16)]);
    };

    int ay = 0;
    for (int y = cy; y >= 0; --y, ay -= S) row(y, y - (ay >> 16), 0);
    ay = S;
    for (int y = cy + 1; y < H; ++y, ay += S) row(y, y - 1 - (ay >> 16), S);
}
