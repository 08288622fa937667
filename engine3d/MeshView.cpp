#include "engine3d/MeshView.h"

#include "engine3d/Matrix4.h"

void MeshView::draw(float /*t*/) {
    const Matrix4 m = pose_.matrix();
    const auto points = mesh_.points();
    const auto view = mesh_.viewPoints();
    for (std::size_t i = 0; i < points.size(); ++i) view[i] = m.transform(points[i]) + cameraOffset;
    shade(mesh_, shadeLevel);
    // 80 puts a depth step of 5 units between surfaces at the outline threshold.
    projectAndQueue(mesh_, 80.0f);
    flush();
    outline();
}
