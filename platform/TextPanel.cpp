#include "platform/TextPanel.h"

#include "raster/CairoHandles.h"


#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void useFont(cairo_t* cr, double fontPixels) {
    cairo_select_font_face(cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, fontPixels);
}

} // namespace

std::unique_ptr<Image> renderTextPanel(const std::vector<std::string>& lines, double fontPixels,
                                       std::uint32_t background) {
    if (lines.empty()) return nullptr;
    // Measured on a scratch surface first: the panel is as large as its text and no larger.
    const CairoSurface scratch(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
    const CairoContext measure(cairo_create(scratch.get()));
    useFont(measure.get(), fontPixels);
    cairo_font_extents_t font;
    cairo_font_extents(measure.get(), &font);
    double widest = 0.0;
    for (const std::string& line : lines) {
        cairo_text_extents_t text;
        cairo_text_extents(measure.get(), line.c_str(), &text);
        widest = std::max(widest, text.x_advance);
    }
    const double pad = std::round(fontPixels * 0.6);
    const int width = static_cast<int>(std::ceil(widest + 2 * pad));
    const int height = static_cast<int>(std::ceil(font.height * static_cast<double>(lines.size()) + 2 * pad));

    const CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    const CairoContext context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    auto channel = [background](int shift) { return static_cast<double>((background >> shift) & 0xFFu) / 255.0; };
    cairo_set_source_rgba(cr, channel(16), channel(8), channel(0), 0.75);
    cairo_paint(cr);
    useFont(cr, fontPixels);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        cairo_move_to(cr, pad, pad + font.ascent + font.height * static_cast<double>(i));
        cairo_show_text(cr, lines[i].c_str());
    }
    cairo_surface_flush(surface.get());

    // Cairo's ARGB32 is the pixel's own byte order, with the colour premultiplied.
    auto panel = std::make_unique<Image>(width, height, Image::ForOverwrite{});
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = row + 4 * x;
            const int a = p[3];
            auto straight = [a](int c) { return a == 0 ? 0 : std::min(255, (c * 255 + a / 2) / a); };
            panel->at(x, y) = Color(straight(p[2]), straight(p[1]), straight(p[0]), a);
        }
    }
    return panel;
}
