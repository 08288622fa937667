#include "engine3d/Renderer3D.h"

#include "raster/ImageKernels.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

Renderer3D::Renderer3D(int w, int h)
    : Image(w, h), queue_(queueStep),
      depth_(makeSystemArray<float>(pixelCount(), SystemFill::zeroed)),
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
    std::memset(static_cast<void*>(pixels()), 0, pixelCount() * sizeof(Color));
    if (!depthFilled_) {
        std::fill_n(depth_.get(), pixelCount(), emptyDepth);
        depthFilled_ = true;
        drawn_ = {};
        return;
    }
    // Depth is written by spans alone, so outside the box they reached it is still empty.
    const std::size_t w = static_cast<std::size_t>(width);
    for (int y = drawn_.top; y <= drawn_.bottom; ++y)
        std::fill(depth_.get() + static_cast<std::size_t>(y) * w + static_cast<std::size_t>(drawn_.left),
                  depth_.get() + static_cast<std::size_t>(y) * w + static_cast<std::size_t>(drawn_.right) + 1, emptyDepth);
    drawn_ = {};
}

void Renderer3D::projectAndQueue(Mesh& mesh, float depthScale) {
    for (Vector3& v : mesh.viewPoints()) {
        v = v * depthScale;
        v.project(width, height);
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

// A clipped span: count pixels from d and px on, the depth z at the first, each next one dz
// further by one float addition. A pixel is drawn only where its depth is strictly nearer.
void spanPlain(float* d, Color* px, int count, float z, float dz, Color color) {
    for (int x = 0; x < count; ++x) {
        if (z < d[x]) {
            d[x] = z;
            px[x] = color;
        }
        z += dz;
    }
}

#if defined(__x86_64__)
// Eight pixels a step, the masked stores writing exactly the pixels the plain loop writes. Spans
// average a few pixels in the show, so what this saves is the plain loop's mispredicted tests
// and exits; each step's eight depths are still one addition after another, as there.
__attribute__((target("avx2"))) void spanAvx2(float* d, Color* px, int count, float z, float dz, Color color) {
    const __m256i shade = _mm256_set1_epi32(static_cast<int>(std::bit_cast<std::uint32_t>(color)));
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    for (int x = 0; x < count; x += 8) {
        float steps[8];
        for (float& step : steps) {
            step = z;
            z += dz;
        }
        const __m256 depths = _mm256_setr_ps(steps[0], steps[1], steps[2], steps[3], steps[4], steps[5], steps[6], steps[7]);
        const __m256i inside = _mm256_cmpgt_epi32(_mm256_set1_epi32(count - x), lane);
        const __m256 old = _mm256_maskload_ps(d + x, inside);
        const __m256i nearer = _mm256_and_si256(_mm256_castps_si256(_mm256_cmp_ps(depths, old, _CMP_LT_OQ)), inside);
        _mm256_maskstore_ps(d + x, nearer, depths);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(px + x), nearer, shade);
    }
}
#endif

} // namespace

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
        if (y >= height) return;  // rows only grow from here on
        drawSpan(static_cast<int>(xa >> 16), static_cast<int>(xb >> 16), za, zb, y, color);
        xa += upper.x;
        za += upper.z;
        xb += longEdge.x;
        zb += longEdge.z;
    }

    xa = std::int64_t{static_cast<int>(p1.x)} * 65536;
    za = p1.z;
    for (int y = y1; y < y2; ++y) {
        if (y >= height) return;
        drawSpan(static_cast<int>(xa >> 16), static_cast<int>(xb >> 16), za, zb, y, color);
        xa += lower.x;
        za += lower.z;
        xb += longEdge.x;
        zb += longEdge.z;
    }
}

void Renderer3D::drawSpan(int x0, int x1, float z0, float z1, int y, Color color) {
    if (y >= height || y < 0) return;
    if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(z0, z1);
    }
    if (x0 == x1) return;
    const float dz = (z1 - z0) / static_cast<float>(x1 - x0);
    if (x0 < 0) {
        z0 = z0 - static_cast<float>(x0) * dz;  // the depth at column 0
        x0 = 0;
    } else if (x0 > width) {
        return;
    }
    if (x1 < 0) return;
    if (x1 > width) x1 = width;
    if (x1 <= x0) return;

    drawn_.top = std::min(drawn_.top, y);
    drawn_.bottom = std::max(drawn_.bottom, y);
    drawn_.left = std::min(drawn_.left, x0);
    drawn_.right = std::max(drawn_.right, x1 - 1);
    const std::size_t at = static_cast<std::size_t>(y) * width + x0;
#if defined(__x86_64__)
    if (ImageKernels::avx2Active()) {
        spanAvx2(depth_.get() + at, pixels() + at, x1 - x0, z0, dz, color);
        return;
    }
#endif
    spanPlain(depth_.get() + at, pixels() + at, x1 - x0, z0, dz, color);
}

namespace {

// Where an outline can fall, from the box the spans reached (everything outside it is empty
// depth, which has no jumps): jumps from above are found in the box's columns, jumps from the
// left up to one past them, and both paint one pixel further, and two beyond the right and
// bottom edges, where the jump onto the empty depth lies one past the box. Rows and columns
// are half-open; flag columns stay inside the tested interior.
struct OutlineRange {
    int top, bottom;
    std::size_t upFrom, upTo, leftFrom, leftTo, paintFrom, paintTo;
};

// The outline's pass over the image, written once and compiled for two instruction sets: its
// loops are plain comparisons and selects, so the wider build gives the same bytes.
[[gnu::always_inline]] inline void outlineRows(const float* depth, Color* pixels, std::size_t w, int height,
                                               std::uint32_t* jumps, OutlineRange range) {
    // A tested pixel (x, y) with a jump from above whitens (x, y − 1 … y + 1); one with a jump
    // from the left whitens (x − 1 … x + 1, y). Only depth is read, so the order of visiting
    // cannot matter, and each pixel can instead ask whether any of the six jumps that reach it
    // fired: from above at (x, y − 1), (x, y), (x, y + 1), from the left at (x − 1, y), (x, y),
    // (x + 1, y). Every loop below then runs without branches and vectorises, where painting
    // jump by jump stalled on a mispredicted branch at every band edge.
    std::fill_n(jumps, 4 * (w + 2), 0u);
    // Four rows of flags, each padded by one entry at both ends so x − 1 and x + 1 stay inside.
    // Untested pixels (the outermost rows and columns) keep flag 0.
    std::uint32_t* upAbove = jumps + 1;           // jumps from above found in row y − 1
    std::uint32_t* upHere = upAbove + (w + 2);    // ... in row y
    std::uint32_t* upBelow = upHere + (w + 2);    // ... in row y + 1
    std::uint32_t* fromLeft = upBelow + (w + 2);  // jumps from the left in row y
    const std::uint32_t* fromLeftBefore = fromLeft - 1;  // entry x is the one for x − 1
    const std::uint32_t* fromLeftAfter = fromLeft + 1;   // entry x is the one for x + 1
    auto jump = [](float a, float b) { return std::fabs(a - b) > Renderer3D::outlineThreshold ? 1u : 0u; };

    // Flags outside the range's columns stay 0 from the fill: no jump can be found there.
    for (int y = range.top; y < range.bottom; ++y) {
        if (y + 1 <= height - 2) {
            const float* d = depth + static_cast<std::size_t>(y + 1) * w;
            const float* above = d - w;
            for (std::size_t x = range.upFrom; x < range.upTo; ++x) upBelow[x] = jump(d[x], above[x]);
        } else {
            std::fill(upBelow + range.upFrom, upBelow + range.upTo, 0u);
        }
        if (y >= 1 && y <= height - 2) {
            const float* d = depth + static_cast<std::size_t>(y) * w;
            for (std::size_t x = range.leftFrom; x < range.leftTo; ++x) fromLeft[x] = jump(d[x], d[x - 1]);
        } else {
            std::fill(fromLeft + range.leftFrom, fromLeft + range.leftTo, 0u);
        }
        Color* px = pixels + static_cast<std::size_t>(y) * w;
        for (std::size_t x = range.paintFrom; x < range.paintTo; ++x) {
            const std::uint32_t hit =
                upAbove[x] | upHere[x] | upBelow[x] | fromLeftBefore[x] | fromLeft[x] | fromLeftAfter[x];
            // As a 32-bit word, so the select needs no branch: all ones is white with alpha 255.
            std::uint32_t bits;
            std::memcpy(&bits, &px[x], sizeof bits);
            bits = hit ? 0xFFFFFFFFu : bits;
            std::memcpy(static_cast<void*>(&px[x]), &bits, sizeof bits);
        }
        std::uint32_t* reused = upAbove;
        upAbove = upHere;
        upHere = upBelow;
        upBelow = reused;
    }
}

void outlinePlain(const float* depth, Color* pixels, std::size_t w, int height, std::uint32_t* jumps,
                  OutlineRange range) {
    outlineRows(depth, pixels, w, height, jumps, range);
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) void outlineAvx2(const float* depth, Color* pixels, std::size_t w, int height,
                                                 std::uint32_t* jumps, OutlineRange range) {
    outlineRows(depth, pixels, w, height, jumps, range);
}
#endif

} // namespace

void Renderer3D::outline() {
    if (width < 3 || height < 3 || drawn_.top > drawn_.bottom) return;
    const int w = width;
    auto column = [w](int x) { return static_cast<std::size_t>(std::clamp(x, 0, w)); };
    auto tested = [w](int x) { return static_cast<std::size_t>(std::clamp(x, 1, w - 1)); };
    const OutlineRange range{std::max(drawn_.top - 1, 0),       std::min(drawn_.bottom + 3, height),
                             tested(drawn_.left),               tested(drawn_.right + 1),
                             tested(drawn_.left),               tested(drawn_.right + 2),
                             column(drawn_.left - 1),           column(drawn_.right + 3)};
    auto rows = outlinePlain;
#if defined(__x86_64__)
    if (ImageKernels::avx2Active()) rows = outlineAvx2;
#endif
    rows(depth_.get(), pixels(), static_cast<std::size_t>(w), height, jumps_.data(), range);
}
