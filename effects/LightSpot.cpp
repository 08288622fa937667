#include "effects/LightSpot.h"

#include "effects/LightSpotKernels.h"
#include "raster/ImageKernels.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

LightSpot::LightSpot(Image& target)
    : target_(target), centreX_(target.width() / 2), centreY_(target.height() / 2),
      scratch_(static_cast<std::size_t>(std::max(target.width(), 0))) {}

void LightSpot::set(int x, int y, int level, int step) {
    centreX_ = std::clamp(x, 0, std::max(target_.width() - 1, 0));
    centreY_ = std::clamp(y, 0, std::max(target_.height() - 1, 0));
    level_ = static_cast<std::uint8_t>(level);
    step_ = std::clamp(step, 0, 65535);
}

namespace {

using Rays = LightSpotKernels::Rays;

// One row, in the order of its pixels: the definition of every row, and the only way for a row
// that reads itself, whose sources may already be rewritten. Accumulators are 16.16 and floor
// with an arithmetic shift.
void plainRow(Color* dst, const Color* src, const Rays& rays, Color*) {
    const int S = rays.step;
    const int L = rays.level;
    auto blend = [L](Color& dest, Color from) { dest = dest.scale(255 - L).addSaturate(from.scale(L)); };
    int ax = 0;
    for (int x = rays.centre; x >= 0; --x, ax -= S) blend(dst[x], src[x - (ax >> 16)]);
    ax = rays.rightStart;
    for (int x = rays.centre + 1; x < rays.width; ++x, ax += S) blend(dst[x], src[x - 1 - (ax >> 16)]);
}

#if defined(TINDREL_SSE2)
// A finished source row holds still, so its pixels are copied into scratch stretch by stretch,
// one offset each, and blended in one vector pass.
template <const ImageKernels& Vector>
void gatheredRow(Color* dst, const Color* src, const Rays& rays, Color* scratch) {
    const long long step = rays.step;
    const long long cx = rays.centre;
    // Left: column cx − i reads i·S/65536 rounded up columns further right.
    for (long long i = 0; i <= cx;) {
        const long long k = (i * step + 65535) / 65536;
        const long long last = step == 0 ? cx : std::min<long long>(cx, k * 65536 / step);
        const long long x = cx - last;
        std::memcpy(scratch + x, src + x + k, static_cast<std::size_t>(last - i + 1) * sizeof(Color));
        i = last + 1;
    }
    // Right: column cx + 1 + j reads one column left and (rightStart + j·S) >> 16 more.
    const long long jMax = rays.width - cx - 2;
    for (long long j = 0; j <= jMax;) {
        const long long q = (rays.rightStart + j * step) >> 16;
        const long long last = step == 0 ? jMax : std::min(jMax, ((q + 1) * 65536 - rays.rightStart - 1) / step);
        const long long x = cx + 1 + j;
        std::memcpy(scratch + x, src + x - 1 - q, static_cast<std::size_t>(last - j + 1) * sizeof(Color));
        j = last + 1;
    }
    Vector.blend(dst, scratch, rays.width, rays.level);
}

const LightSpotKernels sse2LightSpotKernels = {gatheredRow<sse2ImageKernels>};
#endif
#if defined(__x86_64__)
const LightSpotKernels avx2LightSpotKernels = {gatheredRow<avx2ImageKernels>};
#endif

const LightSpotKernels referenceLightSpotKernels = {plainRow};

} // namespace

const LightSpotKernels& LightSpotKernels::forPath([[maybe_unused]] ImageKernels::Path path) {
#if defined(__x86_64__)
    if (path == ImageKernels::Path::avx2) return avx2LightSpotKernels;
#endif
#if defined(TINDREL_SSE2)
    if (path == ImageKernels::Path::sse2) return sse2LightSpotKernels;
#endif
    return referenceLightSpotKernels;
}

void LightSpot::draw(float) {
    const int W = target_.width();
    const int H = target_.height();
    if (W <= 0 || H <= 0) return;
    const int S = step_;
    Color* const P = target_.pixels();
    const LightSpotKernels::Row finishedRow = LightSpotKernels::active().finishedRow;

    // The source is read at the moment of the blend, so it may already be rewritten: that
    // feedback is what turns a smear into rays. The right run's accumulator starts at 0 above
    // the centre, S below it (the halves differ by one step, and the picture shows it).
    Rays rays{W, centreX_, level_, S, 0};
    auto row = [&](int y, int sy, int rightStart) {
        Color* dst = P + static_cast<std::size_t>(y) * W;
        const Color* src = P + static_cast<std::size_t>(sy) * W;
        rays.rightStart = rightStart;
        // Only a row that reads itself (the centre row, or every upper row at step 0) depends on
        // the order of its pixels; any other reads a row already finished.
        if (sy == y) plainRow(dst, src, rays, nullptr);
        else finishedRow(dst, src, rays, scratch_.data());
    };

    int ay = 0;
    for (int y = centreY_; y >= 0; --y, ay -= S) row(y, y - (ay >> 16), 0);
    ay = S;
    for (int y = centreY_ + 1; y < H; ++y, ay += S) row(y, y - 1 - (ay >> 16), S);
}
