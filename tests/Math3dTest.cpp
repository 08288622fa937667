#include "engine3d/Matrix4.h"
#include "engine3d/Mesh.h"
#include "engine3d/Vector3.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

namespace {

void expectNear(const Vector3& got, const Vector3& want, float tolerance, const char* what = "") {
    EXPECT_NEAR(got.x, want.x, tolerance) << what;
    EXPECT_NEAR(got.y, want.y, tolerance) << what;
    EXPECT_NEAR(got.z, want.z, tolerance) << what;
}

using M3 = std::array<std::array<double, 3>, 3>;
M3 product(const M3& a, const M3& b) {
    M3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[i][j] += a[i][k] * b[k][j];
    return r;
}

} // namespace

TEST(Matrix4, ZeroAnglesOnlyMoveWithTheSignPattern) {
    const Vector3 p(0.7f, 0.2f, -1.5f);
    const Matrix4 m(0, 0, 0, p);
    for (const Vector3& v : {Vector3(0, 0, 0), Vector3(1, -2, 3), Vector3(-0.25f, 0.5f, 8)}) {
        // x and z of the position are negated, y is not.
        EXPECT_EQ(m.transform(v), Vector3(v.x - p.x, v.y + p.y, v.z - p.z));
    }
}

TEST(Matrix4, TurnsAboutXThenYThenZ) {
    const float quarter = std::numbers::pi_v<float> / 2;
    expectNear(Matrix4(quarter, 0, 0, {}).transform({0, 1, 0}), {0, 0, 1}, 1e-6f, "a = π/2");
    expectNear(Matrix4(0, quarter, 0, {}).transform({0, 0, 1}), {1, 0, 0}, 1e-6f, "b = π/2");
    expectNear(Matrix4(0, 0, quarter, {}).transform({1, 0, 0}), {0, 1, 0}, 1e-6f, "c = π/2");

    // Any angles: Rz(c) · Ry(b) · Rx(a), the usual right-handed rotations, then the move.
    const double a = 0.3, b = -1.1, c = 2.5;
    const M3 rx{{{1, 0, 0}, {0, std::cos(a), -std::sin(a)}, {0, std::sin(a), std::cos(a)}}};
    const M3 ry{{{std::cos(b), 0, std::sin(b)}, {0, 1, 0}, {-std::sin(b), 0, std::cos(b)}}};
    const M3 rz{{{std::cos(c), -std::sin(c), 0}, {std::sin(c), std::cos(c), 0}, {0, 0, 1}}};
    const M3 r = product(rz, product(ry, rx));
    const Vector3 p(0.5f, -0.25f, 2.0f);
    const Vector3 v(0.3f, -0.7f, 1.9f);
    const Vector3 want(float(r[0][0] * v.x + r[0][1] * v.y + r[0][2] * v.z - p.x),
                       float(r[1][0] * v.x + r[1][1] * v.y + r[1][2] * v.z + p.y),
                       float(r[2][0] * v.x + r[2][1] * v.y + r[2][2] * v.z - p.z));
    expectNear(Matrix4(float(a), float(b), float(c), p).transform(v), want, 1e-5f);
}

TEST(Vector3, ProjectsAroundTheIntegerCentre) {
    struct Case {
        int w, h;
        Vector3 point, want;
    };
    const float third = 256.0f / 3.0f;
    const Case cases[] = {
        {600, 300, {0, 0, 1}, {300, 150, 1}},
        {600, 300, {0, 0, 240}, {300, 150, 240}},
        {600, 300, {0, 0, -2}, {300, 150, -2}},
        {170, 200, {0, 0, 3}, {85, 100, 3}},
        {501, 301, {0, 0, 3}, {250, 150, 3}},
        {600, 300, {1, 1, 3}, {300 + third, 150 + third, 3}},   // positive y lands below the centre
        {600, 300, {1, 1, -3}, {300 - third, 150 - third, -3}},  // behind the eye: mirrored, not refused
    };
    for (const Case& c : cases) {
        Vector3 v = c.point;
        v.project(c.w, c.h);
        expectNear(v, c.want, 1e-4f);
        EXPECT_EQ(v.z, c.want.z);
    }
    Vector3 onTheEye(1, 1, 0);
    onTheEye.project(600, 300);
    EXPECT_FALSE(std::isfinite(onTheEye.x));
}

TEST(Triangle, NormalIsTheUnitCrossOfRminusPandQminusP) {
    struct Case {
        const char* what;
        std::array<Vector3, 3> points;
        Vector3 want;
    };
    const Case cases[] = {
        // (R − P) × (Q − P) with R − P = +x and Q − P = +y gives +z.
        {"counter-clockwise on screen", {Vector3(0, 0, 3), Vector3(0, 1, 3), Vector3(1, 0, 3)}, {0, 0, 1}},
        {"the other way round", {Vector3(0, 0, 3), Vector3(1, 0, 3), Vector3(0, 1, 3)}, {0, 0, -1}},
        {"larger and tilted", {Vector3(0, 0, 0), Vector3(0, 4, 0), Vector3(3, 0, 4)}, {-0.8f, 0, 0.6f}},
    };
    for (const Case& c : cases) {
        std::array<Vector3, 3> view = c.points;
        Triangle t;
        t.viewVertex = {&view[0], &view[1], &view[2]};
        t.computeNormal();
        expectNear(t.normal, c.want, 1e-6f, c.what);
    }
    std::array<Vector3, 3> collinear{Vector3(0, 0, 3), Vector3(1, 1, 3), Vector3(2, 2, 3)};
    Triangle t;
    t.viewVertex = {&collinear[0], &collinear[1], &collinear[2]};
    t.computeNormal();
    EXPECT_FALSE(std::isfinite(t.normal.z));
}
