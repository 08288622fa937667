#pragma once

#include "engine3d/Vector3.h"

#include <array>

// Places one object in front of the eye: a rotation from three angles and a translation. There
// is no product of matrices anywhere; every object gets exactly one, built afresh each frame.
class Matrix4 {
public:
    // Turns about x by a first, then about y by b, then about z by c (radians), then moves by
    // (−p.x, p.y, −p.z). The translation negates x and z but not y: positive p.x moves an
    // object left on screen, positive p.y moves it down.
    Matrix4(float a, float b, float c, Vector3 p);

    float operator()(int row, int column) const { return m[row][column]; }

    // The upper 3 × 3 block is applied transposed and column 3 added, in single precision:
    // this is the per-vertex inner loop of every view.
    Vector3 transform(const Vector3& v) const {
        return {m[0][0] * v.x + m[1][0] * v.y + m[2][0] * v.z + m[0][3],
                m[0][1] * v.x + m[1][1] * v.y + m[2][1] * v.z + m[1][3],
                m[0][2] * v.x + m[1][2] * v.y + m[2][2] * v.z + m[2][3]};
    }

private:
    // Row-major; row 3 is kept for the layout's sake and never read.
    std::array<std::array<float, 4>, 4> m;
};
