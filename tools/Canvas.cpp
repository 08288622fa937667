#include "tools/Canvas.h"

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
      cr_(cairo_create(surface_)) {
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

std::vector<std::uint8_t> Canvas::rgba() {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width_) * height_ * 4);
    std::uint8_t* o = out.data();
    for (int y = 0; y < height_; ++y) {
        // RGB24 keeps each pixel as a native-endian 0x00RRGGBB word.
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t p = row[x];
            *o++ = static_cast<std::uint8_t>(p >> 16);
            *o++ = static_cast<std::uint8_t>(p >> 8);
            *o++ = static_cast<std::uint8_t>(p);
            *o++ = 255;
        }
    }
    return out;
}
