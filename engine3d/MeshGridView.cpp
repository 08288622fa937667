#include "engine3d/MeshGridView.h"

#include "engine3d/Matrix4.h"

#include <cmath>
#include <cstdio>
#include <new>

MeshGridView::MeshGridView(int w, int h, const DataFolder& data, const std::string& fileName) : PosedView(w, h) {
    Mesh mesh;
    mesh.load(data, fileName);
    makeCells(mesh);
}

MeshGridView::MeshGridView(int w, int h, const Mesh& mesh) : PosedView(w, h) { makeCells(mesh); }

void MeshGridView::makeCells(const Mesh& mesh) {
    checkWork(mesh, cellCount);
    try {
        cells_.assign(cellCount, mesh);
    } catch (const std::bad_alloc&) {
        std::fputs("slut!SLUT\n", messagesToStderr_ ? stderr : stdout);
        throw;
    }
}

void MeshGridView::draw(float t) {
    const double bob = std::sin(5.0 * t);
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            Mesh& mesh = cells_[static_cast<std::size_t>(j * columns + i)];
            // Cell (6, 4) sits on the view axis; x and z of a position are negated by Matrix4,
            // so larger i lands further right on screen and larger j higher up.
            const Vector3 position(static_cast<float>(0.6 * (columns / 2 - i)),
                                   static_cast<float>(0.6 * (rows / 2 - j)),
                                   static_cast<float>(0.6 * (std::sin(0.5 * (i + j) - 4.0 * t) + bob)));
            const Matrix4 m(static_cast<float>(pose_.a - 0.12 * i), static_cast<float>(pose_.b - 0.06 * j),
                            static_cast<float>(pose_.c - 0.04 * i), position);
            const auto points = mesh.points();
            const auto view = mesh.viewPoints();
            for (std::size_t p = 0; p < points.size(); ++p) view[p] = m.transform(points[p]) + cameraOffset;
            shade(mesh, shadeLevel);
            // No depth scale: depths stay in camera units, so the outline's 400 only separates
            // the cubes from the empty background.
            projectAndQueue(mesh, 1.0f);
        }
    }
    flush();
    outline();
}
