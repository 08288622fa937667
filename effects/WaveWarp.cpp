#include "effects/WaveWarp.h"

#include "effects/WarpMath.h"

#include <cmath>

WaveWarp::WaveWarp(int c, int r, const Image& texture, float speed) : GridWarp(c, r, texture), speed_(speed) {}

void WaveWarp::draw(float t) {
    const float Tf = speed_ * t;
    const double T = Tf;
    auto ramp = [](double n) { return truncToInt((std::sin(0.01 * n) + 1) * 0.5 * 255); };
    for (int i = 0; i < rows; ++i) {
        const double a1 = -200 * std::sin(0.042 * i + 0.37 * T);
        const double a2 = -200 * std::sin(0.5 * T + 0.033 * i);
        const double a3 = -200 * std::cos(0.073 * i - 0.3 * T);
        for (int j = 0; j < cols; ++j) {
            // Each partial sum is truncated before the next term joins it.
            std::int32_t u = truncToInt(4 * j - a2);
            u = truncToInt(u - a3);
            u = truncToInt(u + 200 * std::sin(1.3 * T + 0.053 * j));
            u = truncToInt(u + 200 * std::cos(0.123 * j - 1.3 * T));
            std::int32_t v = truncToInt(4 * i + 200 * std::sin(1.27 * T + 0.012 * j));
            v = truncToInt(v + 200 * std::sin(0.046 * j + 1.22 * T));
            v = truncToInt(v - a1);
            v = truncToInt(v + 200 * std::sin(2.14 * T + 0.156 * (i + j)));
            GridWarpNode& n = node(j, i);
            n.u = u;
            n.v = v;
            n.colour = Color(ramp(u), ramp(v), ramp(static_cast<double>(u) + v), 255);
        }
    }
    renderTinted();
}
