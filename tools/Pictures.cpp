#include "tools/Pictures.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

void linearSky(Canvas& c, double horizon, std::uint32_t top, std::uint32_t mid, std::uint32_t low) {
    cairo_t* cr = c.cr();
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, horizon);
    auto stop = [sky](double at, std::uint32_t rgb) {
        cairo_pattern_add_color_stop_rgb(sky, at, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                                         (rgb & 0xFF) / 255.0);
    };
    stop(0.0, top);
    stop(0.6, mid);
    stop(1.0, low);
    cairo_set_source(cr, sky);
    cairo_rectangle(cr, 0, 0, c.width(), horizon);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);
}

void stars(Canvas& c, std::uint32_t seed, int count, double maxY) {
    Lcg rng(seed);
    cairo_t* cr = c.cr();
    for (int i = 0; i < count; ++i) {
        const double x = rng.unit() * c.width();
        const double y = rng.unit() * rng.unit() * maxY;  // denser high up, thinning toward the glow
        const double r = 0.35 + rng.unit() * (i % 9 == 0 ? 1.1 : 0.5);
        c.setColor(i % 5 == 0 ? 0xbfe8ff : 0xffffff, 0.25 + 0.6 * rng.unit());
        cairo_arc(cr, x, y, r, 0, 2 * pi);
        cairo_fill(cr);
    }
}

void radialGlow(Canvas& c, double x, double y, double radius, std::uint32_t rgb, double alpha) {
    cairo_t* cr = c.cr();
    cairo_pattern_t* glow = cairo_pattern_create_radial(x, y, 0, x, y, radius);
    const double r = ((rgb >> 16) & 0xFF) / 255.0, g = ((rgb >> 8) & 0xFF) / 255.0, b = (rgb & 0xFF) / 255.0;
    cairo_pattern_add_color_stop_rgba(glow, 0, r, g, b, alpha);
    cairo_pattern_add_color_stop_rgba(glow, 1, r, g, b, 0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
}

} // namespace

void Pictures::closing(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    const double horizon = 205;

    linearSky(c, horizon, 0x060b1e, 0x141a4a, 0x3a1d5c);
    stars(c, 9, 260, horizon - 20);
    radialGlow(c, w / 2, horizon, 260, 0xd0487a, 0.55);

    // A low sun of stripes sinking behind the horizon: the show's last light.
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, w, horizon);
    cairo_clip(cr);
    cairo_pattern_t* sun = cairo_pattern_create_linear(0, horizon - 110, 0, horizon);
    cairo_pattern_add_color_stop_rgb(sun, 0, 1.0, 0.78, 0.36);
    cairo_pattern_add_color_stop_rgb(sun, 1, 0.86, 0.22, 0.55);
    cairo_set_source(cr, sun);
    cairo_arc(cr, w / 2, horizon, 100, pi, 2 * pi);
    cairo_fill_preserve(cr);
    // Gaps widen toward the horizon, cut in the glow's colour across the sun alone.
    cairo_clip(cr);
    for (int i = 0; i < 7; ++i) {
        const double y = horizon - 48 + i * 7.0;
        c.setColor(0x3a1d5c, 0.85);
        cairo_rectangle(cr, 0, y, w, 1.0 + i * 0.7);
        cairo_fill(cr);
    }
    cairo_restore(cr);

    // Still water below: darker, with the sun's reflection broken into lines.
    cairo_pattern_t* sea = cairo_pattern_create_linear(0, horizon, 0, c.height());
    cairo_pattern_add_color_stop_rgb(sea, 0, 0.10, 0.07, 0.22);
    cairo_pattern_add_color_stop_rgb(sea, 1, 0.02, 0.03, 0.09);
    cairo_set_source(cr, sea);
    cairo_rectangle(cr, 0, horizon, w, c.height() - horizon);
    cairo_fill(cr);
    cairo_pattern_destroy(sea);
    for (int i = 0; i < 12; ++i) {
        const double y = horizon + 4 + i * i * 0.62 + i * 2.0;
        const double half = 92 - i * 6.5 + (i % 2) * 10;
        c.setColor(i < 4 ? 0xf2a35e : 0xc9457c, 0.75 - i * 0.05);
        cairo_rectangle(cr, w / 2 - half, y, 2 * half, 1.6);
        cairo_fill(cr);
    }
    cairo_pattern_destroy(sun);
    c.setColor(0xffd9a0, 0.9);
    cairo_rectangle(cr, 0, horizon, w, 1);
    cairo_fill(cr);

    // The name, lit from below by the sun, and the farewell under it.
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 84);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, "tindrel", &ext);
    const double tx = w / 2 - (ext.width / 2 + ext.x_bearing);
    const double ty = 112;
    for (int pass = 6; pass >= 1; --pass) {  // a soft cyan halo, widest first
        c.setColor(0x39d5ff, 0.06);
        cairo_move_to(cr, tx, ty);
        cairo_text_path(cr, "tindrel");
        cairo_set_line_width(cr, pass * 3.0);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    }
    cairo_pattern_t* ink = cairo_pattern_create_linear(0, ty - 62, 0, ty + 4);
    cairo_pattern_add_color_stop_rgb(ink, 0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(ink, 1, 0.62, 0.90, 1.0);
    cairo_set_source(cr, ink);
    cairo_move_to(cr, tx, ty);
    cairo_show_text(cr, "tindrel");
    cairo_pattern_destroy(ink);

    c.setColor(0xe8d8ff, 0.92);
    c.text("thank you for watching", w / 2, 143, 17);
    c.setColor(0x9fb4e0, 0.8);
    c.text("until the next night", w / 2, 280, 11);
}

void Pictures::openingLogo(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    c.fill(0x000000);

    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 104);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, "tindrel", &ext);
    const double tx = w / 2 - (ext.width / 2 + ext.x_bearing);
    const double ty = 150 - (ext.height / 2 + ext.y_bearing);  // centred on the rays' row

    // A faint halo first: it feeds the rays more than the letters alone would.
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int pass = 5; pass >= 1; --pass) {
        c.setColor(0x2aa8ff, 0.07);
        cairo_move_to(cr, tx, ty);
        cairo_text_path(cr, "tindrel");
        cairo_set_line_width(cr, pass * 4.0);
        cairo_stroke(cr);
    }
    // Hollow letters: a bright rim and a darker core, so the rays come from the strokes.
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, ty + ext.y_bearing, 0, ty);
    cairo_pattern_add_color_stop_rgb(rim, 0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(rim, 1, 0.45, 0.85, 1.0);
    cairo_move_to(cr, tx, ty);
    cairo_text_path(cr, "tindrel");
    cairo_set_source_rgb(cr, 0.05, 0.12, 0.28);
    cairo_fill_preserve(cr);
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 3.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);

    // Two rules leading the eye in from the sides, brightest at their inner ends.
    for (int side = -1; side <= 1; side += 2) {
        const double inner = w / 2 + side * (ext.width / 2 + 22);
        const double outer = w / 2 + side * (w / 2 - 24);
        cairo_pattern_t* rule = cairo_pattern_create_linear(inner, 0, outer, 0);
        cairo_pattern_add_color_stop_rgba(rule, 0, 1.0, 0.35, 0.8, 1.0);
        cairo_pattern_add_color_stop_rgba(rule, 1, 1.0, 0.35, 0.8, 0.0);
        cairo_set_source(cr, rule);
        cairo_rectangle(cr, std::min(inner, outer), 149, std::abs(outer - inner), 2);
        cairo_fill(cr);
        cairo_pattern_destroy(rule);
    }

    // A few sparks around the name.
    Lcg rng(1);
    for (int i = 0; i < 40; ++i) {
        const double x = 40 + rng.unit() * (w - 80);
        const double y = 60 + rng.unit() * 180;
        if (std::abs(y - 150) < 60 && std::abs(x - w / 2) < ext.width / 2 + 10) continue;
        const double r = 0.6 + rng.unit() * 1.2;
        c.setColor(i % 3 == 0 ? 0xffc870 : 0xcfefff, 0.5 + 0.5 * rng.unit());
        cairo_arc(cr, x, y, r, 0, 2 * pi);
        cairo_fill(cr);
    }

    c.setColor(0xff5fc8, 0.95);
    c.text("a real-time show", w / 2, 222, 16);
}

void Pictures::openingSky(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    const double h = c.height();
    const double horizon = 236;

    linearSky(c, horizon, 0x03061a, 0x0b1430, 0x1f2a5a);
    stars(c, 3, 340, horizon - 30);
    radialGlow(c, w / 2, horizon + 10, 330, 0x1d8fa8, 0.45);
    radialGlow(c, w * 0.28, horizon, 160, 0x8a2d7a, 0.30);

    // Far hills, two layers, the nearer one darker.
    for (int layer = 0; layer < 2; ++layer) {
        Lcg rng(20 + layer);
        cairo_move_to(cr, 0, h);
        double y = horizon - 8 + layer * 10;
        for (double x = 0; x <= w + 20; x += 20) {
            y += (rng.unit() - 0.5) * (layer == 0 ? 10 : 6);
            y = std::clamp(y, horizon - 26.0 + layer * 12, horizon + layer * 6.0);
            cairo_line_to(cr, x, y);
        }
        cairo_line_to(cr, w, h);
        cairo_close_path(cr);
        c.setColor(layer == 0 ? 0x0e1638 : 0x050914);
        cairo_fill(cr);
    }
    // A thin teal line where the glow meets the ground.
    c.setColor(0x47c6d8, 0.35);
    cairo_rectangle(cr, 0, horizon + 5, w, 1);
    cairo_fill(cr);
}
