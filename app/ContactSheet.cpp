#include "app/ContactSheet.h"

#include "app/OfflineRender.h"

#include <cairo.h>

#include <cstdio>
#include <stdexcept>

namespace {

struct Moment {
    int order;
    int row;
    const char* title;
};

// A telling moment of each scene, away from its flashes.
constexpr Moment moments[9] = {
    {3, 16, "the opening"},      {5, 40, "blob light"},        {9, 30, "the scroller"},
    {12, 40, "star and arrows"}, {16, 40, "the cube wave"},     {21, 20, "the glowing band"},
    {28, 40, "tunnels and cones"}, {33, 40, "the wave warp"},  {36, 20, "farewell"},
};

constexpr int cellW = 300, cellH = 150, label = 24, margin = 12, header = 44;
constexpr int sheetW = 3 * cellW + 4 * margin;
constexpr int sheetH = header + 3 * (cellH + label) + 3 * margin;

// Seconds as an uninterrupted play reaches the position: the module's 0.12 s rows, 64 an order.
double showSeconds(const Moment& m) { return (m.order * 64 + m.row) * 0.12; }

} // namespace

std::unique_ptr<Image> ContactSheet::make() {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheetW, sheetH);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0x0b / 255.0, 0x14 / 255.0, 0x30 / 255.0);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 22);
    cairo_set_source_rgb(cr, 0.85, 0.95, 1.0);
    cairo_move_to(cr, margin, 30);
    cairo_show_text(cr, "tindrel");
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 13);
    cairo_set_source_rgb(cr, 0.62, 0.70, 0.88);
    cairo_move_to(cr, margin + 100, 30);
    cairo_show_text(cr, "a real-time show in nine scenes");

    std::string failure;
    for (int i = 0; i < 9; ++i) {
        const Moment& m = moments[i];
        const auto frame = OfflineRender::still(m.order, m.row, showSeconds(m));
        if (!frame) {
            failure = std::string("no frame for ") + m.title;
            break;
        }
        // The frame's memory is already cairo's RGB24 layout; alpha is ignored there.
        cairo_surface_t* picture = cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(frame->pixels()), CAIRO_FORMAT_RGB24, frame->width, frame->height,
            frame->width * static_cast<int>(sizeof(Color)));
        const int x = margin + (i % 3) * (cellW + margin);
        const int y = header + (i / 3) * (cellH + label + margin);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, static_cast<double>(cellW) / frame->width, static_cast<double>(cellH) / frame->height);
        cairo_set_source_surface(cr, picture, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(picture);

        char caption[96];
        std::snprintf(caption, sizeof caption, "%d  %s", i + 1, m.title);
        cairo_set_source_rgb(cr, 0.90, 0.92, 1.0);
        cairo_move_to(cr, x + 2, y + cellH + 17);
        cairo_show_text(cr, caption);
        std::snprintf(caption, sizeof caption, "order %d row %d", m.order, m.row);
        cairo_text_extents_t ext;
        cairo_text_extents(cr, caption, &ext);
        cairo_set_source_rgb(cr, 0.45, 0.80, 0.90);
        cairo_move_to(cr, x + cellW - ext.x_advance - 2, y + cellH + 17);
        cairo_show_text(cr, caption);
    }
    cairo_surface_flush(surface);

    auto sheet = std::make_unique<Image>(sheetW, sheetH);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < sheetH; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < sheetW; ++x)
            sheet->at(x, y) = Color(static_cast<int>(row[x] >> 16), static_cast<int>(row[x] >> 8), static_cast<int>(row[x]), 255);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    if (!failure.empty()) throw std::runtime_error(failure);
    return sheet;
}
