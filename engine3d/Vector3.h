#pragma once

#include <cmath>

// A point or direction of the 3D engine: three single-precision floats and nothing else, so a
// mesh's arrays of them lie back to back. The space is the eye's: x to the right, y downward on
// screen, z away from the eye (right-handed).
struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vector3() = default;
    constexpr Vector3(float x0, float y0, float z0) : x(x0), y(y0), z(z0) {}

    constexpr Vector3 operator+(const Vector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Vector3 operator-(const Vector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    // Three divisions rather than a product with 1/s: the rounding differs, and pixels follow it.
    constexpr Vector3 operator/(float s) const { return {x / s, y / s, z / s}; }

    // No guard for a zero length: a degenerate triangle's normal comes out non-finite, and the
    // views shade such a triangle black.
    void normalize() {
        const float length = std::sqrt((y * y + z * z) + x * x);
        *this = *this / length;
    }

    // Perspective onto an image of width × height with focal factor 256, in place: x and y
    // become screen coordinates (y grows downward), z stays as the depth. The centre is the
    // integer half of each side, so an odd width centres on the lower half. A point with z = 0
    // comes out non-finite and one behind the eye mirrored through the centre; the renderer
    // refuses the former, the views never produce the latter with the show's objects.
    void project(int width, int height) {
        const int cx = width / 2;
        const int cy = height / 2;
        x = static_cast<float>(cx + 256.0 * x / z);
        y = static_cast<float>(cy + 256.0 * y / z);
    }

    friend constexpr bool operator==(const Vector3&, const Vector3&) = default;
};

// Every view adds this after its transform: an object at position (0, 0, 0) stands 3 units in
// front of the eye, which sits at the origin and looks along +z.
inline constexpr Vector3 cameraOffset{0.0f, 0.0f, 3.0f};
