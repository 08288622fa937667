#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

// A cairo drawing surface for the show's pictures, opaque RGB and black until drawn on.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() { return cr_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The picture as bytes red, green, blue, alpha (alpha 255), row after row.
    std::vector<std::uint8_t> rgba();

private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};
