#include "effects/BlobWarp.h"

#include "effects/WarpMath.h"

#include <algorithm>
#include <array>
#include <cmath>

BlobWarp::BlobWarp(int c, int r, const Image& texture, int count, float speed, float radius)
    : GridWarp(c, r, texture), speed_(speed), radius_(radius), count_(std::min(count, maxBlobs)) {}

void BlobWarp::draw(float t) {
    const float T = speed_ * t;
    std::array<float, maxBlobs + 1> bx{}, by{};
    for (int k = 1; k <= count_; ++k) {
        bx[k] = static_cast<float>(width / 2 + 0.5 * width * std::sin(k + 0.3 * (1.6 * k * T)));
        by[k] = static_cast<float>(height / 2 + 0.5 * height * std::sin(0.24 * ((0.11 * k - k) * T) - 0.8 * k));
    }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const double x = 8 * c;
            const double y = 8 * r;
            double sum = 0;
            for (int k = 1; k <= count_; ++k) {
                const double d = std::sqrt((x - bx[k]) * (x - bx[k]) + (y - by[k]) * (y - by[k]));
                if (d < radius_) sum += (radius_ - d) / radius_ * strength_;
            }
            const int level = std::clamp(truncToInt(sum * 255), 0, 255);
            GridWarpNode& n = node(c, r);
            n.u = truncToInt(14 * c + 40.0 * T + 40 * std::sin(3 * sum));
            n.v = truncToInt(8 * r + 4 * c + 40 * std::cos(4 * sum));
            n.colour = Color(0, 0, 0, (brightness_ * level) >> 8);
        }
    renderShaded();
}
