#include "effects/WaveWarp.h"

#include "effects/WarpMath.h"

#include <cmath>

namespace {

std::int32_t ramp(double n) { return truncToInt((std::sin(0.01 * n) + 1) * 0.5 * 255); }

} // namespace

WaveWarp::WaveWarp(int c, int r, const Image& texture, float speed)
    : GridWarp(c, r, texture), speed_(speed), columnTerms_(static_cast<std::size_t>(c)),
      diagonalTerms_(static_cast<std::size_t>(c) + r) {
    // Every partial sum of u and v moves by at most 200 a term from 4 × its column or row, and
    // truncation only shrinks it, so |u| + |v| stays under this bound: the ramps of all the
    // values a frame can produce, worked out once.
    rampLimit_ = 4 * (c + r) + 8 * 200 + 8;
    ramps_.resize(2 * static_cast<std::size_t>(rampLimit_) + 1);
    for (int n = -rampLimit_; n <= rampLimit_; ++n) ramps_[static_cast<std::size_t>(n + rampLimit_)] = ramp(n);
}

int WaveWarp::rampOf(std::int64_t n) const {
    if (n < -rampLimit_ || n > rampLimit_) return ramp(static_cast<double>(n));
    return ramps_[static_cast<std::size_t>(n + rampLimit_)];
}

void WaveWarp::draw(float t) {
    const float Tf = speed_ * t;
    const double T = Tf;
    // The waves that depend on the column alone, or on row + column, once a frame each.
    for (int j = 0; j < cols; ++j) {
        ColumnTerms& w = columnTerms_[static_cast<std::size_t>(j)];
        w.u3 = 200 * std::sin(1.3 * T + 0.053 * j);
        w.u4 = 200 * std::cos(0.123 * j - 1.3 * T);
        w.v1 = 200 * std::sin(1.27 * T + 0.012 * j);
        w.v2 = 200 * std::sin(0.046 * j + 1.22 * T);
    }
    for (int d = 0; d + 1 < rows + cols; ++d) diagonalTerms_[static_cast<std::size_t>(d)] = 200 * std::sin(2.14 * T + 0.156 * d);

    for (int i = 0; i < rows; ++i) {
        const double a1 = -200 * std::sin(0.042 * i + 0.37 * T);
        const double a2 = -200 * std::sin(0.5 * T + 0.033 * i);
        const double a3 = -200 * std::cos(0.073 * i - 0.3 * T);
        for (int j = 0; j < cols; ++j) {
            const ColumnTerms& w = columnTerms_[static_cast<std::size_t>(j)];
            // Each partial sum is truncated before the next term joins it.
            std::int32_t u = truncToInt(4 * j - a2);
            u = truncToInt(u - a3);
            u = truncToInt(u + w.u3);
            u = truncToInt(u + w.u4);
            std::int32_t v = truncToInt(4 * i + w.v1);
            v = truncToInt(v + w.v2);
            v = truncToInt(v - a1);
            v = truncToInt(v + diagonalTerms_[static_cast<std::size_t>(i + j)]);
            GridWarpNode& n = node(j, i);
            n.u = u;
            n.v = v;
            n.colour = Color(rampOf(u), rampOf(v), rampOf(std::int64_t{u} + v), 255);
        }
    }
    renderTinted();
}
