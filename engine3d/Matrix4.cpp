#include "engine3d/Matrix4.h"

#include <cmath>

Matrix4::Matrix4(float a, float b, float c, Vector3 p) {
    // Products in double, each entry rounded once when stored.
    const double sa = std::sin(a), ca = std::cos(a);
    const double sb = std::sin(b), cb = std::cos(b);
    const double sc = std::sin(c), cc = std::cos(c);
    auto f = [](double v) { return static_cast<float>(v); };
    m[0] = {f(cc * cb), f(sc * cb), f(-sb), -p.x};
    m[1] = {f(sa * sb * cc - sc * ca), f(sa * sb * sc + cc * ca), f(sa * cb), p.y};
    m[2] = {f(ca * sb * cc + sc * sa), f(ca * sb * sc - sa * cc), f(cb * ca), -p.z};
    m[3] = {0.0f, 0.0f, 0.0f, 1.0f};
}
