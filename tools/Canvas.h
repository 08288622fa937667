#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A cairo drawing surface for the show's pictures, opaque RGB, with the few helpers every
// picture uses. Cairo renders the same pixels for the same calls, so pictures are repeatable.
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

    // Colours given as 0xRRGGBB, the way a palette is written down.
    void setColor(std::uint32_t rgb, double alpha = 1.0);
    void fill(std::uint32_t rgb);
    // Centred text in the show's one type family (DejaVu).
    void text(const std::string& s, double centreX, double baselineY, double size, bool bold = false);

private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Small repeatable noise for stars and grain: the same seed gives the same picture everywhere.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next()) / 16777216.0; }

private:
    std::uint32_t state_;
};
