#include "effects/LightSpot.h"

#include "raster/ImageKernels.h"

#include <algorithm>
#include <cstring>

LightSpot::LightSpot(Image& target)
    : Effect(target.width, target.height), target_(target), centreX_(target.width / 2), centreY_(target.height / 2),
      scratch_(static_cast<std::size_t>(std::max(target.width, 0))) {}

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
    const ImageKernels& kernels = ImageKernels::active();
    const bool plain = kernels.path == ImageKernels::Path::reference;

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
        // Only a row that reads itself (the centre row, or every upper row at step 0) depends on
        // the order of its pixels. Any other reads a row already finished, and its source offset
        // (the accumulator's integer part) holds for whole stretches of columns.
        if (plain || sy == y) {
            int ax = 0;
            for (int x = cx; x >= 0; --x, ax -= S) blend(dst[x], src[x - (ax >> 16)]);
            ax = rightStart;
            for (int x = cx + 1; x < W; ++x, ax += S) blend(dst[x], src[x - 1 - (ax >> 16)]);
            return;
        }
        // Gathered into the scratch row stretch by stretch, then blended in one pass.
        Color* const gathered = scratch_.data();
        const long long step = S;
        // Left: column cx − i reads i·S/65536 rounded up columns further right.
        for (long long i = 0; i <= cx;) {
            const long long k = (i * step + 65535) / 65536;
            const long long last = step == 0 ? cx : std::min<long long>(cx, k * 65536 / step);
            const long long x = cx - last;
            std::memcpy(gathered + x, src + x + k, static_cast<std::size_t>(last - i + 1) * sizeof(Color));
            i = last + 1;
        }
        // Right: column cx + 1 + j reads one column left and (rightStart + j·S) >> 16 more.
        const long long jMax = W - cx - 2;
        for (long long j = 0; j <= jMax;) {
            const long long q = (rightStart + j * step) >> 16;
            const long long last = step == 0 ? jMax : std::min(jMax, ((q + 1) * 65536 - rightStart - 1) / step);
            const long long x = cx + 1 + j;
            std::memcpy(gathered + x, src + x - 1 - q, static_cast<std::size_t>(last - j + 1) * sizeof(Color));
            j = last + 1;
        }
        kernels.blend(dst, gathered, W, L);
    };

    int ay = 0;
    for (int y = cy; y >= 0; --y, ay -= S) row(y, y - (ay >> 16), 0);
    ay = S;
    for (int y = cy + 1; y < H; ++y, ay += S) row(y, y - 1 - (ay >> 16), S);
}
