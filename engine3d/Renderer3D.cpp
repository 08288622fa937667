#include "engine3d/Renderer3D.h"

#include "engine3d/Renderer3DKernels.h"
#include "raster/ImageKernels.h"
#include "raster/LoadError.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

Renderer3D::Renderer3D(int w, int h)
    : image_(w, h), queue_(queueStep),
      depth_(makeSystemArray<float>(image_.pixelCount(), SystemFill::zeroed)),
      jumps_(4 * (static_cast<std::size_t>(std::max(w, 0)) + 2)) {}

void Renderer3D::queue(const Triangle& triangle) {
    ++queued_;
    if (queued_ > queueCapacity()) {
        // Exact steps of 512, never doubled: the capacity is part of the renderer's contract.
        queue_.reserve(queue_.size() + queueStep);
        queue_.resize(queue_.size() + queueStep);
    }
    queue_[static_cast<std::size_t>(queued_ - 1)] = &triangle;
}

void Renderer3D::flush() {
    clear();
    for (int i = 0; i < queued_; ++i) drawTriangle(*queue_[static_cast<std::size_t>(i)]);
    queued_ = 0;
}

void Renderer3D::clear() {
    std::memset(static_cast<void*>(image_.pixels()), 0, image_.pixelCount() * sizeof(Color));
    if (!depthFilled_) {
        std::fill_n(depth_.get(), image_.pixelCount(), emptyDepth);
        depthFilled_ = true;
        drawn_ = {};
        return;
    }
    // Depth is written by spans alone, so outside the box they reached it is still empty.
    const std::size_t w = static_cast<std::size_t>(image_.width());
    for (int y = drawn_.top; y <= drawn_.bottom; ++y)
        std::fill(depth_.get() + static_cast<std::size_t>(y) * w + static_cast<std::size_t>(drawn_.left),
                  depth_.get() + static_cast<std::size_t>(y) * w + static_cast<std::size_t>(drawn_.right) + 1, emptyDepth);
    drawn_ = {};
}

void Renderer3D::checkWork(const Mesh& mesh, int copies) {
    auto refuse = [&](const char* what, int budget) {
        throw LoadError(mesh.name(), std::string("too many ") + what + " for " + std::to_string(copies) +
                                         " copies (at most " + std::to_string(budget / copies) + " each)");
    };
    if (static_cast<long long>(mesh.pointCount()) * copies > maxPointsPerFrame) refuse("points", maxPointsPerFrame);
    if (static_cast<long long>(mesh.triangleCount()) * copies > maxTrianglesPerFrame) refuse("triangles", maxTrianglesPerFrame);
}

void Renderer3D::projectAndQueue(Mesh& mesh, float depthScale) {
    for (Vector3& v : mesh.viewPoints()) {
        v = v * depthScale;
        v.project(image_.width(), image_.height());
    }
    for (const Triangle& t : mesh.triangles()) queue(t);
}

namespace {

bool drawable(const Vector3& p) {
    return std::isfinite(p.z) && std::fabs(p.x) <= Renderer3D::coordinateLimit &&
           std::fabs(p.y) <= Renderer3D::coordinateLimit;  // false for NaN as well
}

// Per-row steps of one edge: x in 16.16 fixed point, depth in float. The differences are
// truncated before dividing, as the rows themselves are truncated: there is no sub-pixel
// correction anywhere. The x step is kept in 64 bits: with coordinates up to ±32767 a
// difference shifted by 16 no longer fits 32, and the wider type gives the same value wherever
// the narrow one would not have overflowed.
struct EdgeStep {
    std::int64_t x = 0;
    float z = 0.0f;
};

EdgeStep edgeStep(const Vector3& from, const Vector3& to) {
    const int dx = static_cast<int>(to.x - from.x);
    const int dy = static_cast<int>(to.y - from.y);
    if (dy == 0) return {};
    return {(std::int64_t{dx} * 65536) / dy, (to.z - from.z) / static_cast<float>(dy)};
}

} // namespace

namespace {

void spanPlain(float* d, Color* px, int count, float z, float dz, Color color) {
    for (int x = 0; x < count; ++x) {
        if (z < d[x]) {
            d[x] = z;
            px[x] = color;
        }
        z += dz;
    }
}

void outlinePlain(const float* depth, Color* pixels, std::size_t w, int height, std::uint32_t* jumps,
                  Renderer3DKernels::OutlineRange range) {
    outlineRows(depth, pixels, w, height, jumps, range);
}

} // namespace

const Renderer3DKernels referenceRenderer3DKernels = {spanPlain, outlinePlain};

const Renderer3DKernels& Renderer3DKernels::forPath([[maybe_unused]] ImageKernels::Path path) {
#if defined(__x86_64__)
    if (path == ImageKernels::Path::avx2) return avx2Renderer3DKernels;
#endif
    return referenceRenderer3DKernels;
}

void Renderer3D::drawTriangle(const Triangle& triangle) {
    Vector3 p0 = *triangle.viewVertex[0];
    Vector3 p1 = *triangle.viewVertex[1];
    Vector3 p2 = *triangle.viewVertex[2];
    if (!drawable(p0) || !drawable(p1) || !drawable(p2)) return;
    const Color color = triangle.shade;

    // Three compare-exchanges; points on the same row keep their order.
    if (p1.y < p0.y) std::swap(p0, p1);
    if (p2.y < p0.y) std::swap(p0, p2);
    if (p2.y < p1.y) std::swap(p1, p2);

    const EdgeStep upper = edgeStep(p0, p1);
    const EdgeStep lower = edgeStep(p1, p2);
    // Runs from p2 back to p0; both differences change sign, so it steps like p0 → p2.
    const EdgeStep longEdge = edgeStep(p2, p0);

    const int y0 = static_cast<int>(p0.y);
    const int y1 = static_cast<int>(p1.y);
    const int y2 = static_cast<int>(p2.y);

    std::int64_t xa = std::int64_t{static_cast<int>(p0.x)} * 65536;
    std::int64_t xb = xa;
    float za = p0.z;
    float zb = p0.z;
    for (int y = y0; y < y1; ++y) {
        if (y >= image_.height()) return;  // rows only grow from here on
        drawSpan(static_cast<int>(xa >> 16), static_cast<int>(xb >> 16), za, zb, y, color);
        xa += upper.x;
        za += upper.z;
        xb += longEdge.x;
        zb += longEdge.z;
    }

    xa = std::int64_t{static_cast<int>(p1.x)} * 65536;
    za = p1.z;
    for (int y = y1; y < y2; ++y) {
        if (y >= image_.height()) return;
        drawSpan(static_cast<int>(xa >> 16), static_cast<int>(xb >> 16), za, zb, y, color);
        xa += lower.x;
        za += lower.z;
        xb += longEdge.x;
        zb += longEdge.z;
    }
}

void Renderer3D::drawSpan(int x0, int x1, float z0, float z1, int y, Color color) {
    if (y >= image_.height() || y < 0) return;
    if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(z0, z1);
    }
    if (x0 == x1) return;
    const float dz = (z1 - z0) / static_cast<float>(x1 - x0);
    if (x0 < 0) {
        z0 = z0 - static_cast<float>(x0) * dz;  // the depth at column 0
        x0 = 0;
    } else if (x0 > image_.width()) {
        return;
    }
    if (x1 < 0) return;
    if (x1 > image_.width()) x1 = image_.width();
    if (x1 <= x0) return;

    drawn_.top = std::min(drawn_.top, y);
    drawn_.bottom = std::max(drawn_.bottom, y);
    drawn_.left = std::min(drawn_.left, x0);
    drawn_.right = std::max(drawn_.right, x1 - 1);
    const std::size_t at = static_cast<std::size_t>(y) * image_.width() + x0;
    Renderer3DKernels::active().span(depth_.get() + at, image_.pixels() + at, x1 - x0, z0, dz, color);
}

void Renderer3D::outline() {
    if (image_.width() < 3 || image_.height() < 3 || drawn_.top > drawn_.bottom) return;
    const int w = image_.width();
    auto column = [w](int x) { return static_cast<std::size_t>(std::clamp(x, 0, w)); };
    auto tested = [w](int x) { return static_cast<std::size_t>(std::clamp(x, 1, w - 1)); };
    // Where an outline can fall, from the box the spans reached (everything outside it is empty
    // depth, which has no jumps): jumps from above are found in the box's columns, jumps from the
    // left up to one past them, and both paint one pixel further, and two beyond the right and
    // bottom edges, where the jump onto the empty depth lies one past the box.
    const Renderer3DKernels::OutlineRange range{std::max(drawn_.top - 1, 0), std::min(drawn_.bottom + 3, image_.height()),
                                                tested(drawn_.left),         tested(drawn_.right + 1),
                                                tested(drawn_.left),         tested(drawn_.right + 2),
                                                column(drawn_.left - 1),     column(drawn_.right + 3)};
    Renderer3DKernels::active().outline(depth_.get(), image_.pixels(), static_cast<std::size_t>(w), image_.height(), jumps_.data(),
                                        range);
}
