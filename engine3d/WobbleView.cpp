#include "engine3d/WobbleView.h"

#include "engine3d/Matrix4.h"

#include <cmath>

Vector3 WobbleView::wobble(Vector3 p, float t, float amplitude) {
    // Each step sees the coordinates as the steps before it left them, rounded to float.
    const double k = 0.2 * amplitude;
    auto f = [](double v) { return static_cast<float>(v); };
    p.x = f(p.x + k * std::sin(0.7 * t + 0.12 * p.x));
    p.y = f(p.y - k * std::sin(1.1 * t + 0.13 * p.z));
    p.z = f(p.z + k * std::sin(0.21 * p.y - 0.3 * t));
    p.x = f(p.x - k * std::sin(2.6 * t + 2.3 * p.x));
    p.y = f(p.y + k * std::sin(0.9 * t + 1.3 * p.z));
    p.z = f(p.z + k * std::sin(1.7 * p.y - 1.6 * t));
    p.x = f(p.x - k * std::sin(0.3 * t + 8.3 * p.z));
    p.y = f(p.y + k * std::sin(6.3 * p.x - 3.4 * t));
    p.z = f(p.z - k * std::sin(2.7 * t + 5.7 * p.y));
    return p;
}

void WobbleView::draw(float t) {
    const Matrix4 m = pose_.matrix();
    const auto points = mesh_.points();
    const auto view = mesh_.viewPoints();
    for (std::size_t i = 0; i < points.size(); ++i)
        view[i] = wobble(m.transform(points[i]), t, amplitude_) + cameraOffset;
    shade(mesh_, shadeLevel);
    projectAndQueue(mesh_, 80.0f);
    flush();
}
