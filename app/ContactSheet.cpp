#include "app/ContactSheet.h"

#include "app/OfflineRender.h"
#include "raster/CairoHandles.h"
#include "show/SheetLayout.h"
#include "show/ShowPlan.h"

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

constexpr int cellW = SheetLayout::cellWidth, cellH = SheetLayout::cellHeight, margin = SheetLayout::margin;
using Grid = SheetLayout;

std::string inWords(std::size_t count) {
    static const char* const words[] = {"no",    "one",  "two", "three",  "four",   "five",  "six",
                                        "seven", "eight", "nine", "ten", "eleven", "twelve"};
    return count < std::size(words) ? words[count] : std::to_string(count);
}

} // namespace

std::unique_ptr<Image> ContactSheet::make(const ShowPlan& show) {
    const auto rows = show.timetable().rows();
    const Grid grid(static_cast<int>(rows.size()));
    const CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, grid.width(), grid.height()));
    const CairoContext context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 0x0b / 255.0, 0x14 / 255.0, 0x30 / 255.0);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 22);
    cairo_set_source_rgb(cr, 0.85, 0.95, 1.0);
    cairo_move_to(cr, margin, 30);
    cairo_show_text(cr, show.file.title.c_str());
    cairo_text_extents_t titleExtents;
    cairo_text_extents(cr, show.file.title.c_str(), &titleExtents);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 13);
    cairo_set_source_rgb(cr, 0.62, 0.70, 0.88);
    // A short title leaves the line its room; a long one pushes it along.
    cairo_move_to(cr, std::max(margin + 100.0, margin + titleExtents.x_advance + 12.0), 30);
    const std::string subtitle = !show.file.description.empty()
                                     ? show.file.description
                                     : "a real-time show in " + inWords(rows.size()) + " scenes";
    cairo_show_text(cr, subtitle.c_str());

    // Each moment at the time an uninterrupted play reaches it.
    const MusicShape& shape = show.shape;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TimetableRow& row = rows[i];
        const TimetableRow::Moment& m = row.moment;
        const auto frame = OfflineRender::still(show, m.order, m.row, momentSeconds(shape, m));
        if (!frame) throw std::runtime_error("no frame for " + row.title);
        // The frame's memory is already cairo's RGB24 layout; alpha is ignored there.
        const CairoSurface picture(cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(frame->pixels()), CAIRO_FORMAT_RGB24, frame->width(), frame->height(),
            frame->width() * static_cast<int>(sizeof(Color))));
        const auto [x, y] = grid.cell(static_cast<int>(i));
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, static_cast<double>(cellW) / frame->width(), static_cast<double>(cellH) / frame->height());
        cairo_set_source_surface(cr, picture.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);

        char caption[96];
        std::snprintf(caption, sizeof caption, "%zu  %s", i + 1, row.title.c_str());
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
    cairo_surface_flush(surface.get());

    auto sheet = std::make_unique<Image>(grid.width(), grid.height());
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < grid.height(); ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < grid.width(); ++x)
            sheet->at(x, y) = Color(static_cast<int>(line[x] >> 16), static_cast<int>(line[x] >> 8), static_cast<int>(line[x]), 255);
    }
    return sheet;
}
