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
        bx[k] = static_cast<float>(image().width() / 2 + 0.5 * image().width() * std::sin(k + 0.3 * (1.6 * k * T)));
        by[k] = static_cast<float>(image().height() / 2 + 0.5 * image().height() * std::sin(0.24 * ((0.11 * k - k) * T) - 0.8 * k));
    }
    // A node no blob reaches (past radius + 1 no rounding of the root can fall inside) takes
    // no root, and one with no influence takes no sine: sin 0 and cos 0 are exactly 0 and 1.
    const double reach = (static_cast<double>(radius_) + 1) * (static_cast<double>(radius_) + 1);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const double x = 8 * c;
            const double y = 8 * r;
            double sum = 0;
            for (int k = 1; k <= count_; ++k) {
                const double squared = (x - bx[k]) * (x - bx[k]) + (y - by[k]) * (y - by[k]);
                if (!(squared < reach)) continue;
                const double d = std::sqrt(squared);
                if (d < radius_) sum += (radius_ - d) / radius_ * strength_;
            }
            const int level = std::clamp(truncToInt(sum * 255), 0, 255);
            const double s3 = sum == 0 ? 0.0 : std::sin(3 * sum);
            const double c4 = sum == 0 ? 1.0 : std::cos(4 * sum);
            GridWarpNode& n = node(c, r);
            n.u = truncToInt(14 * c + 40.0 * T + 40 * s3);
            n.v = truncToInt(8 * r + 4 * c + 40 * c4);
            n.colour = Color(0, 0, 0, (brightness_ * level) >> 8);
        }
    renderShaded();
}
