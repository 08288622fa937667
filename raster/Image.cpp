#include "raster/Image.h"

#include "raster/ImageKernels.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

// Memory about to be written whole is better faulted in by one call than page by page: under
// virtualisation each fault is a trap of its own, and start-up writes megabytes of pictures.
// Only a hint: kernels without it, or memory it cannot take, are left to fault as usual.
void prefault(void* memory, std::size_t bytes) {
#if defined(MADV_POPULATE_WRITE)
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(memory) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(memory) + bytes) / page * page;
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)memory;
    (void)bytes;
#endif
}

} // namespace

Image::Image(int w, int h) : width_(w), height_(h) { allocate(true); }

Image::Image(int w, int h, ForOverwrite) : width_(w), height_(h) { allocate(false); }

void Image::allocate(bool cleared) {
    const std::size_t count = static_cast<std::size_t>(std::max(width_, 0)) * static_cast<std::size_t>(std::max(height_, 0));
    storage = makeSystemArray<Color>(count, cleared ? SystemFill::zeroed : SystemFill::unset);
    buffer = storage.get();
    if (!cleared) prefault(buffer, count * sizeof(Color));
}

namespace {

// Runs op(dstRow, srcRow, count) over each row of src's overlap with dst placed at (x, y);
// op works pixel by pixel, so rows that follow each other in both images go as one run.
// The rows are walked by pointer steps so the per-pixel loops carry no clipping tests.
template <class RowOp>
void forEachOverlapRow(Image& dst, int x, int y, const Image& src, RowOp op) {
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    // 64-bit so a position near INT_MAX cannot wrap the far edge into view.
    const int x1 = static_cast<int>(std::min<long long>(static_cast<long long>(x) + src.width(), dst.width()));
    const int y1 = static_cast<int>(std::min<long long>(static_cast<long long>(y) + src.height(), dst.height()));
    if (y0 >= y1 || x0 >= x1) return;
    const int count = x1 - x0;
    Color* d = dst.pixels() + static_cast<std::size_t>(y0) * dst.width() + x0;
    const Color* s = src.pixels() + static_cast<std::size_t>(y0 - y) * src.width() + (x0 - x);
    // Whole rows of both images lie back to back: one run, with one vector head and tail.
    if (count == dst.width() && count == src.width() && static_cast<long long>(count) * (y1 - y0) <= INT_MAX) {
        op(d, s, count * (y1 - y0));
        return;
    }
    for (int row = y0; row < y1; ++row, d += dst.width(), s += src.width()) op(d, s, count);
}

// Weight of a fade as the 16-bit lane holds it: truncated toward zero, low 16 bits kept.
std::uint16_t fadeWeight(double scaled) {
    // Past 2^63 every double is a multiple of 2^16, so 0 is the low 16 bits there too; NaN gives 0.
    if (!(std::fabs(scaled) < 9223372036854775808.0)) return 0;
    return static_cast<std::uint16_t>(static_cast<std::int64_t>(scaled));
}

} // namespace

// The plain loops: each operation's definition, and the path TINDREL_REFERENCE=1 forces.
namespace {

void keyedRow(Color* d, const Color* s, int n, Color key) {
    for (int i = 0; i < n; ++i)
        if (s[i].r != key.r || s[i].g != key.g || s[i].b != key.b) d[i] = s[i];
}

void addRow(Color* d, const Color* s, int n) {
    for (int i = 0; i < n; ++i) d[i] = d[i].addSaturate(s[i]);
}

void addScaledRow(Color* d, const Color* s, int n, int level) {
    for (int i = 0; i < n; ++i) d[i] = d[i].addSaturate(s[i].scale(level));
}

void fadeRun(Color* p, std::size_t n, Color target, std::uint16_t wT, std::uint16_t wP) {
    // One lane per byte: the product keeps 16 bits, the sum saturates, then the shift.
    auto lane = [wT, wP](std::uint8_t old, std::uint8_t to) {
        const std::uint32_t sum = ((old * std::uint32_t{wP}) & 0xFFFFu) + ((to * std::uint32_t{wT}) & 0xFFFFu);
        return static_cast<std::uint8_t>(std::min<std::uint32_t>(sum, 0xFFFFu) >> 8);
    };
    for (std::size_t i = 0; i < n; ++i) {
        Color& c = p[i];
        c = Color(lane(c.r, target.r), lane(c.g, target.g), lane(c.b, target.b), lane(c.a, target.a));
    }
}

void blendRow(Color* d, const Color* s, int n, int level) {
    for (int i = 0; i < n; ++i) d[i] = d[i].scale(255 - level).addSaturate(s[i].scale(level));
}

} // namespace

const ImageKernels referenceImageKernels = {ImageKernels::Path::reference, keyedRow, addRow, addScaledRow, fadeRun, blendRow};

void Image::blit(int x, int y, const Image& src) {
    forEachOverlapRow(*this, x, y, src, [](Color* d, const Color* s, int n) {
        std::memcpy(d, s, static_cast<std::size_t>(n) * sizeof(Color));
    });
}

void Image::blitKeyed(int x, int y, const Image& src, Color key) {
    const auto keyed = ImageKernels::active().keyed;
    forEachOverlapRow(*this, x, y, src, [keyed, key](Color* d, const Color* s, int n) { keyed(d, s, n, key); });
}

void Image::blitAdd(int x, int y, const Image& src) {
    forEachOverlapRow(*this, x, y, src, ImageKernels::active().add);
}

void Image::blitAddScaled(int x, int y, const Image& src, int level) {
    const auto addScaled = ImageKernels::active().addScaled;
    forEachOverlapRow(*this, x, y, src, [addScaled, level](Color* d, const Color* s, int n) { addScaled(d, s, n, level); });
}

void Image::fadeTo(Color target, float fraction) {
    const std::uint16_t wT = fadeWeight(static_cast<double>(fraction * 256.0f));
    const std::uint16_t wP = fadeWeight((1.0 - static_cast<double>(fraction)) * 256.0);
    ImageKernels::active().fade(buffer, pixelCount(), target, wT, wP);
}

void Image::blitWrapRows(int x, int offset, const Image& src) {
    if (x != 0 || width_ <= 0 || height_ <= 0) return;
    if (src.pixelCount() < pixelCount()) return;
    int first = offset % height_;
    if (first < 0) first += height_;
    // Rows lie back to back in both images, so the rotation is two block copies: src's rows
    // from first down to the end, then its rows above first.
    const std::size_t w = static_cast<std::size_t>(width_);
    const std::size_t tail = static_cast<std::size_t>(height_ - first) * w;
    std::memcpy(buffer, src.pixels() + static_cast<std::size_t>(first) * w, tail * sizeof(Color));
    std::memcpy(buffer + tail, src.pixels(), static_cast<std::size_t>(first) * w * sizeof(Color));
}
