#include "engine3d/MeshView.h"

#include "engine3d/Matrix4.h"

#include <utility>

MeshView::MeshView(int w, int h, const DataFolder& data, const char* fileName) : Renderer3D(w, h) {
    mesh_.load(data, fileName);
}

MeshView::MeshView(int w, int h, Mesh mesh) : Renderer3D(w, h), mesh_(std::move(mesh)) {}

void MeshView::setRotation(float a, float b, float c) {
    a_ = a;
    b_ = b;
    c_ = c;
}

void MeshView::draw(float /*t*/) {
    const Matrix4 m(a_, b_, c_, position_);
    const auto points = mesh_.points();
    const auto view = mesh_.viewPoints();
    for (std::size_t i = 0; i < points.size(); ++i) view[i] = m.transform(points[i]) + cameraOffset;
    shade(mesh_, shadeLevel);
    // 80 puts a depth step of 5 units between surfaces at the outline threshold.
    projectAndQueue(mesh_, 80.0f);
    flush();
    outline();
}
