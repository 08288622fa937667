#include "platform/TextPanel.h"

#include "raster/CairoHandles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace {

void useFont(cairo_t* cr, double fontPixels) {
    cairo_select_font_face(cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, fontPixels);
}

} // namespace

PanelFont panelFont(int fontPixels) {
    // Measured once a size: a layout asks at every showing.
    static std::map<int, PanelFont> measured;
    if (const auto it = measured.find(fontPixels); it != measured.end()) return it->second;
    const CairoSurface scratch(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
    const CairoContext measure(cairo_create(scratch.get()));
    useFont(measure.get(), fontPixels);
    cairo_font_extents_t font;
    cairo_font_extents(measure.get(), &font);
    cairo_text_extents_t text;
    cairo_text_extents(measure.get(), "MMMMMMMMMM", &text);
    const PanelFont f{text.x_advance / 10.0, font.height, std::round(fontPixels * 0.6)};
    measured.emplace(fontPixels, f);
    return f;
}

std::size_t characters(const std::string& line) {
    // Every byte but a continuation byte starts a character.
    return static_cast<std::size_t>(
        std::count_if(line.begin(), line.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

PanelSize panelSize(const std::vector<std::string>& lines, int fontPixels) {
    if (lines.empty()) return {};
    const PanelFont f = panelFont(fontPixels);
    std::size_t widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, characters(line));
    return {static_cast<int>(std::ceil(f.advance * static_cast<double>(widest) + 2 * f.pad)),
            static_cast<int>(std::ceil(f.lineHeight * static_cast<double>(lines.size()) + 2 * f.pad))};
}

std::unique_ptr<Image> renderTextPanel(const std::vector<std::string>& lines, int fontPixels, std::uint32_t background) {
    if (lines.empty()) return nullptr;
    const PanelFont f = panelFont(fontPixels);
    const PanelSize size = panelSize(lines, fontPixels);
    const int width = size.width;
    const int height = size.height;

    const CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    const CairoContext context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    auto channel = [background](int shift) { return static_cast<double>((background >> shift) & 0xFFu) / 255.0; };
    cairo_set_source_rgba(cr, channel(16), channel(8), channel(0), 0.75);
    cairo_paint(cr);
    useFont(cr, fontPixels);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        cairo_move_to(cr, f.pad, f.pad + font.ascent + f.lineHeight * static_cast<double>(i));
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
