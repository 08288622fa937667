#include "tools/Pictures.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>

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

std::uint32_t mix(std::uint32_t a, std::uint32_t b, double t) {
    auto channel = [&](int shift) {
        const double x = ((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t;
        return static_cast<std::uint32_t>(std::clamp(std::lround(x), 0L, 255L)) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

void addStop(cairo_pattern_t* p, double at, std::uint32_t rgb, double alpha = 1.0) {
    cairo_pattern_add_color_stop_rgba(p, at, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                                      (rgb & 0xFF) / 255.0, alpha);
}

// A rectangle shaded top to bottom through evenly spaced colours.
void verticalBand(Canvas& c, double x, double y, double w, double h, std::initializer_list<std::uint32_t> colours) {
    cairo_t* cr = c.cr();
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    const double n = static_cast<double>(colours.size()) - 1;
    double i = 0;
    for (std::uint32_t rgb : colours) addStop(p, n > 0 ? i++ / n : 0, rgb);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// A hairline brightest in its middle, fading out to both ends.
void fadingRule(Canvas& c, double x0, double x1, double y, double thickness, std::uint32_t rgb, double alpha) {
    cairo_t* cr = c.cr();
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
    addStop(p, 0, rgb, 0);
    addStop(p, 0.5, rgb, alpha);
    addStop(p, 1, rgb, 0);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x0, y, x1 - x0, thickness);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// A four-pointed glint with pinched sides, the show's small ornament.
void sparkle(Canvas& c, double x, double y, double r, std::uint32_t rgb, double alpha) {
    cairo_t* cr = c.cr();
    const double k = r * 0.16;
    cairo_move_to(cr, x, y - r);
    cairo_curve_to(cr, x + k, y - k, x + k, y - k, x + r, y);
    cairo_curve_to(cr, x + k, y + k, x + k, y + k, x, y + r);
    cairo_curve_to(cr, x - k, y + k, x - k, y + k, x - r, y);
    cairo_curve_to(cr, x - k, y - k, x - k, y - k, x, y - r);
    cairo_close_path(cr);
    c.setColor(rgb, alpha);
    cairo_fill(cr);
}

void diamond(Canvas& c, double x, double y, double r, std::uint32_t rgb, double alpha) {
    cairo_t* cr = c.cr();
    cairo_move_to(cr, x, y - r);
    cairo_line_to(cr, x + r, y);
    cairo_line_to(cr, x, y + r);
    cairo_line_to(cr, x - r, y);
    cairo_close_path(cr);
    c.setColor(rgb, alpha);
    cairo_fill(cr);
}

void selectFont(cairo_t* cr, double size, bool bold) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

// Width of a line of type with extra room after each letter (ASCII only: one byte a letter).
double setWidth(cairo_t* cr, const std::string& s, double spacing) {
    if (spacing == 0) {
        cairo_text_extents_t ext;
        cairo_text_extents(cr, s.c_str(), &ext);
        return ext.x_advance;
    }
    double width = 0;
    for (char ch : s) {
        const char one[2] = {ch, 0};
        cairo_text_extents_t ext;
        cairo_text_extents(cr, one, &ext);
        width += ext.x_advance + spacing;
    }
    return width - spacing;
}

// Centred type started on a whole pixel: read at 1x, a pen between pixels smears every stem.
void crispText(Canvas& c, const std::string& s, double centreX, double baselineY, double size, bool bold,
               double spacing = 0) {
    cairo_t* cr = c.cr();
    selectFont(cr, size, bold);
    double x = std::round(centreX - setWidth(cr, s, spacing) / 2);
    const double y = std::round(baselineY);
    if (spacing == 0) {
        cairo_move_to(cr, x, y);
        cairo_show_text(cr, s.c_str());
        return;
    }
    for (char ch : s) {
        const char one[2] = {ch, 0};
        cairo_text_extents_t ext;
        cairo_text_extents(cr, one, &ext);
        cairo_move_to(cr, std::round(x), y);
        cairo_show_text(cr, one);
        x += ext.x_advance + spacing;
    }
}

// Sparse faint stars spread evenly, for fields that should stay quiet.
void dust(Canvas& c, std::uint32_t seed, int count, double x0, double y0, double x1, double y1, double brightest) {
    Lcg rng(seed);
    cairo_t* cr = c.cr();
    for (int i = 0; i < count; ++i) {
        const double x = x0 + rng.unit() * (x1 - x0);
        const double y = y0 + rng.unit() * (y1 - y0);
        const double r = 0.4 + rng.unit() * (i % 11 == 0 ? 0.9 : 0.4);
        c.setColor(i % 4 == 0 ? 0x9fdcff : 0xdfe6ff, brightest * (0.3 + 0.7 * rng.unit()));
        cairo_arc(cr, x, y, r, 0, 2 * pi);
        cairo_fill(cr);
    }
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


void Pictures::burst(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    const double h = c.height();
    const double cx = 300, cy = 148;

    cairo_pattern_t* field = cairo_pattern_create_radial(cx, cy, 10, cx, cy, 360);
    addStop(field, 0, 0x1a1b52);
    addStop(field, 0.45, 0x0e1538);
    addStop(field, 1, 0x04061a);
    cairo_set_source(cr, field);
    cairo_paint(cr);
    cairo_pattern_destroy(field);
    dust(c, 12, 200, 0, 0, w, h, 0.55);

    // Alternate wedges of light turning about the star: motion even in a still picture.
    cairo_pattern_t* rays = cairo_pattern_create_radial(cx, cy, 0, cx, cy, 330);
    addStop(rays, 0, 0x6d4cc8, 0.22);
    addStop(rays, 0.5, 0x3b3fa0, 0.10);
    addStop(rays, 1, 0x3b3fa0, 0.0);
    cairo_set_source(cr, rays);
    const int wedges = 36;
    for (int i = 0; i < wedges; i += 2) {
        const double a0 = (i + 0.25) * 2 * pi / wedges, a1 = (i + 1.25) * 2 * pi / wedges;
        cairo_move_to(cr, cx, cy);
        cairo_arc(cr, cx, cy, 700, a0, a1);
        cairo_close_path(cr);
    }
    cairo_fill(cr);
    cairo_pattern_destroy(rays);

    // Dashed orbits fade outward, so the frame's edges stay quiet under the blobs' light.
    const double dash[] = {6.0, 5.0};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_line_width(cr, 1.0);
    const double orbits[] = {64, 104, 158, 228};
    for (int i = 0; i < 4; ++i) {
        c.setColor(i % 2 ? 0x47c6d8 : 0xb45ad8, 0.22 - i * 0.035);
        cairo_arc(cr, cx, cy, orbits[i], 0, 2 * pi);
        cairo_stroke(cr);
    }
    cairo_set_dash(cr, nullptr, 0, 0);

    radialGlow(c, cx, cy, 190, 0x7a2a8e, 0.42);
    radialGlow(c, cx, cy, 70, 0xff9a5a, 0.25);

    // Faceted points, each split along its spine and lit from the upper left, so the star reads
    // as cut glass like the show's star object. Drawn back to front: small, diagonal, main.
    struct Family {
        int count;
        double offset, across, down, valley, halfAngle;
        std::uint32_t light, dark;
    };
    const Family families[] = {
        {2, 0, 292, 0, 7, pi / 2, 0xb8509e, 0x3a164e},           // the long horizontal flare
        {8, pi / 8, 84, 74, 17, pi / 8, 0x9a7040, 0x2e1e1a},     // small amber points
        {4, pi / 4, 118, 92, 26, pi / 4, 0x7462d4, 0x1a154e},    // diagonals, violet
        {4, 0, 172, 134, 30, pi / 4, 0x4aaccc, 0x0a2244},       // the four main points, teal
    };
    const double light = -3 * pi / 4;
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    for (const Family& f : families) {
        for (int i = 0; i < f.count; ++i) {
            const double a = f.offset + i * 2 * pi / f.count;
            const double tx = cx + f.across * std::cos(a), ty = cy + f.down * std::sin(a);
            for (int side = -1; side <= 1; side += 2) {
                const double b = a + side * f.halfAngle;
                const double vx = cx + f.valley * std::cos(b), vy = cy + f.valley * std::sin(b);
                const double facing = 0.5 + 0.5 * std::cos(a + side * 0.9 - light);
                const std::uint32_t near = mix(f.dark, f.light, facing);
                cairo_pattern_t* shade = cairo_pattern_create_linear(cx, cy, tx, ty);
                addStop(shade, 0, near);
                addStop(shade, 1, mix(near, 0x0e1538, 0.5));
                cairo_move_to(cr, cx, cy);
                cairo_line_to(cr, vx, vy);
                cairo_line_to(cr, tx, ty);
                cairo_close_path(cr);
                cairo_set_source(cr, shade);
                cairo_fill(cr);
                cairo_pattern_destroy(shade);
            }
            // A bright spine dimming toward the tip sharpens each point without lighting the field.
            cairo_pattern_t* spine = cairo_pattern_create_linear(cx, cy, tx, ty);
            addStop(spine, 0, 0xcfe8ff, 0.6);
            addStop(spine, 1, 0xcfe8ff, 0.05);
            cairo_set_source(cr, spine);
            cairo_set_line_width(cr, 1.0);
            cairo_move_to(cr, cx, cy);
            cairo_line_to(cr, tx, ty);
            cairo_stroke(cr);
        }
    }

    // A small hot core; the blobs bring the rest of the light.
    cairo_pattern_t* core = cairo_pattern_create_radial(cx - 3, cy - 3, 1, cx, cy, 11);
    addStop(core, 0, 0xffe0b0);
    addStop(core, 0.55, 0xd87a6a);
    addStop(core, 1, 0x5a2060);
    cairo_set_source(cr, core);
    cairo_arc(cr, cx, cy, 11, 0, 2 * pi);
    cairo_fill(cr);
    c.setColor(0x2a0f3a, 0.8);
    cairo_set_line_width(cr, 1.5);
    cairo_arc(cr, cx, cy, 11, 0, 2 * pi);
    cairo_stroke(cr);

    Lcg rng(33);
    for (int i = 0; i < 14; ++i) {
        const double a = rng.unit() * 2 * pi, d = 120 + rng.unit() * 150;
        const double x = cx + d * std::cos(a) * 1.6, y = cy + d * std::sin(a) * 0.7;
        if (x < 10 || x > w - 10 || y < 10 || y > h - 10) continue;
        sparkle(c, x, y, 3 + rng.unit() * 5, i % 3 ? 0xbfe8ff : 0xffc48a, 0.45 + 0.2 * rng.unit());
    }
}

void Pictures::scrollBackdrop(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    const double h = c.height();

    verticalBand(c, 0, 0, w, h, {0x050920, 0x0b1430, 0x0a1028, 0x060a1c});
    radialGlow(c, w / 2, h + 60, 360, 0x145a6e, 0.30);
    radialGlow(c, w / 2, -60, 300, 0x2c1c60, 0.30);
    dust(c, 31, 90, 0, 0, w, h, 0.40);

    // Thin rails top and bottom and brackets in the corners frame the column without crowding it.
    fadingRule(c, 0, w, 14, 1, 0x47c6d8, 0.30);
    fadingRule(c, 0, w, 285, 1, 0x47c6d8, 0.30);
    cairo_set_line_width(cr, 1.0);
    c.setColor(0x6fa8d8, 0.35);
    for (int corner = 0; corner < 4; ++corner) {
        const double x = corner % 2 ? w - 8.5 : 8.5, y = corner / 2 ? h - 8.5 : 8.5;
        const double dx = corner % 2 ? -14 : 14, dy = corner / 2 ? -14 : 14;
        cairo_move_to(cr, x + dx, y);
        cairo_line_to(cr, x, y);
        cairo_line_to(cr, x, y + dy);
    }
    cairo_stroke(cr);
    c.setColor(0x8fb0e0, 0.45);
    crispText(c, "tindrel", w - 44, h - 20, 10, true, 1);
}

void Pictures::credits(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    const double mid = w / 2;
    c.fill(0x000000);

    double y = 150;
    sparkle(c, mid, y, 9, 0xbfe8ff, 1.0);
    sparkle(c, mid - 22, y + 4, 4, 0xff5fc8, 0.9);
    sparkle(c, mid + 22, y + 4, 4, 0xffc870, 0.9);

    // The title, lit like the opening logo so the credits feel part of the same night.
    y += 84;
    selectFont(cr, 64, true);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, "tindrel", &ext);
    const double tx = std::round(mid - (ext.width / 2 + ext.x_bearing));
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int pass = 4; pass >= 1; --pass) {
        c.setColor(0x2aa8ff, 0.08);
        cairo_move_to(cr, tx, y);
        cairo_text_path(cr, "tindrel");
        cairo_set_line_width(cr, pass * 3.0);
        cairo_stroke(cr);
    }
    cairo_pattern_t* ink = cairo_pattern_create_linear(0, y - 48, 0, y);
    addStop(ink, 0, 0xffffff);
    addStop(ink, 1, 0x9fe6ff);
    cairo_set_source(cr, ink);
    cairo_move_to(cr, tx, y);
    cairo_show_text(cr, "tindrel");
    cairo_pattern_destroy(ink);
    y += 34;
    c.setColor(0xff5fc8);
    crispText(c, "a real-time show", mid, y, 16, false, 1);

    auto rule = [&](double at) {
        fadingRule(c, mid - 180, mid + 180, at, 1, 0x7fb8ff, 0.8);
        diamond(c, mid, at + 0.5, 4, 0xffc870, 1.0);
    };
    y += 44;
    rule(y);

    // Small spaced headings in the accents, names in white: the eye finds each credit by colour.
    const struct {
        const char* role;
        std::uint32_t accent;
    } roles[] = {
        {"code", 0x39d5ff}, {"music", 0xff5fc8}, {"graphics", 0xffc870}, {"texture programs", 0x39d5ff},
        {"3d objects", 0xff5fc8},
    };
    y += 28;
    for (const auto& role : roles) {
        y += 34;
        c.setColor(role.accent);
        crispText(c, role.role, mid, y, 13, true, 3);
        y += 27;
        c.setColor(0xf4f6ff);
        crispText(c, "the tindrel team", mid, y, 20, false);
    }

    y += 50;
    rule(y);
    y += 58;
    c.setColor(0xffc870);
    crispText(c, "made with our own tools", mid, y, 13, true, 3);
    y += 30;
    c.setColor(0xf4f6ff);
    crispText(c, "cairo  \xc2\xb7  libopenmpt  \xc2\xb7  SDL2", mid, y, 19, false);
    y += 26;
    c.setColor(0xa8b8dc);
    crispText(c, "every picture, note and object drawn from source", mid, y, 12, false);

    y += 50;
    rule(y);

    // The greetings are what the audience reads for, so theirs is the largest heading after the title.
    y += 70;
    c.setColor(0xff5fc8);
    crispText(c, "greetings", mid, y, 30, true, 2);
    sparkle(c, mid - 112, y - 11, 6, 0xff5fc8, 0.9);
    sparkle(c, mid + 112, y - 11, 6, 0xff5fc8, 0.9);
    y += 18;
    const char* greets[] = {
        "everyone who still makes demos",
        "all night owls",
        "the tracker people",
        "the pixel pushers",
        "the chip music crowd",
        "the party organisers and their crews",
        "everyone who writes their own tools",
        "the big screen technicians",
        "the people at the back of the hall",
        "and you, for watching",
    };
    int i = 0;
    for (const char* greet : greets) {
        y += 34;
        c.setColor(i++ % 2 ? 0xdcefff : 0xf4f6ff);  // a faint alternation keeps long lines apart
        crispText(c, greet, mid, y, 17, false);
    }

    y += 54;
    rule(y);
    y += 56;
    c.setColor(0xf4f6ff);
    crispText(c, "thank you for staying up with us", mid, y, 18, false);
    y += 28;
    c.setColor(0x39d5ff);
    crispText(c, "see you after midnight", mid, y, 13, true, 3);
    y += 44;
    sparkle(c, mid, y, 7, 0xffc870, 1.0);
}

namespace {

// Halftone dots on a lattice that repeats with the picture's height, sized by a field that repeats
// the same way, so the picture rolls vertically without a seam. dy must divide the height into
// whole rows, an even number of them when alternate rows are staggered.
template <typename Size>
void halftone(Canvas& c, double dx, double dy, bool stagger, double maxRadius, std::uint32_t dim,
              std::uint32_t bright, Size size) {
    cairo_t* cr = c.cr();
    const double h = c.height();
    c.fill(0x000000);
    const int rows = static_cast<int>(std::lround(h / dy));
    const int cols = static_cast<int>(std::lround(c.width() / dx)) + 1;
    for (int j = 0; j < rows; ++j) {
        const double y = j * dy;
        const double shift = stagger && j % 2 ? dx / 2 : 0;
        for (int i = 0; i < cols; ++i) {
            const double x = i * dx + shift;
            const double v = std::clamp(size(x, y), 0.0, 1.0);
            const double r = maxRadius * v;
            if (r < 0.45) continue;
            c.setColor(mix(dim, bright, v));
            for (double copy = -h; copy <= h; copy += h) {
                if (y + copy + r < 0 || y + copy - r > h) continue;
                cairo_arc(cr, x, y + copy, r, 0, 2 * pi);
                cairo_fill(cr);
            }
        }
    }
}

// Waves whose vertical frequencies are whole turns per 300 rows, so the field tiles vertically.
double wave(double x, double y, double turnsAcross, double turnsDown, double phase) {
    return std::sin(2 * pi * (x / 600.0 * turnsAcross + y / 300.0 * turnsDown) + phase);
}

} // namespace

void Pictures::dots(Canvas& c) {
    // Dim on purpose: the credits roll over them and must stay the brightest thing in the frame.
    halftone(c, 12, 10, true, 3.9, 0x061c36, 0x146070, [](double x, double y) {
        const double v = 0.62 * wave(x, y, 1.5, 1, 0) + 0.38 * wave(x, y, -0.7, 2, 1.3);
        return 0.5 + 0.55 * v;
    });
}

void Pictures::dots2(Canvas& c) {
    halftone(c, 15, 7.5, true, 3.8, 0x28082c, 0x6c2060, [](double x, double y) {
        const double v = 0.62 * wave(x, y, -1.2, 1, 2.2) + 0.38 * wave(x, y, 0.9, -2, 0.4);
        return 0.5 + 0.55 * v;
    });
}

void Pictures::warpFrame(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    const double h = c.height();
    const double bandTop = 54, bandBottom = 246;

    c.fill(0x0b1430);
    verticalBand(c, 0, 0, w, bandTop, {0x050920, 0x0d1638, 0x1a1a4e});
    verticalBand(c, 0, bandBottom, w, h - bandBottom, {0x141846, 0x0a1030, 0x04061a});
    dust(c, 61, 40, 0, 0, w, 40, 0.45);

    // Rails hold the warp band like a screen in a rack: a bright edge against it, a dim one outside.
    auto rail = [&](double y, int towardBand) {
        verticalBand(c, 0, y, w, 6, {0x1a3c5c, 0x2d6a86, 0x173450});
        fadingRule(c, -w * 0.2, w * 1.2, towardBand > 0 ? y + 5 : y, 1, 0x5fe0ff, 0.85);
        fadingRule(c, 0, w, towardBand > 0 ? y - 3 : y + 8, 1, 0xff5fc8, 0.45);
        for (double x = 10; x < w; x += 20) {
            c.setColor(0x0a1a2c, 0.8);
            cairo_rectangle(cr, x, y + 2, 2, 2);
            cairo_fill(cr);
        }
    };
    rail(bandTop - 6, 1);
    rail(bandBottom, -1);

    // Top strip: an on-air lamp and a station line at the left (the logo below carries the name),
    // a run of chevrons, a level meter at the right.
    radialGlow(c, 25, 26, 16, 0xff3fa0, 0.55);
    cairo_pattern_t* lamp = cairo_pattern_create_radial(23.5, 24.5, 0.5, 25, 26, 5);
    addStop(lamp, 0, 0xffd0ec);
    addStop(lamp, 1, 0xe0308a);
    cairo_set_source(cr, lamp);
    cairo_arc(cr, 25, 26, 5, 0, 2 * pi);
    cairo_fill(cr);
    cairo_pattern_destroy(lamp);
    c.setColor(0xdff2ff, 0.95);
    selectFont(cr, 14, true);
    cairo_move_to(cr, 40, 31);
    for (const char* letter : {"o", "n", " ", "a", "i", "r"}) {
        cairo_show_text(cr, letter);
        cairo_rel_move_to(cr, 2, 0);
    }
    c.setColor(0x47c6d8, 0.5);
    cairo_rectangle(cr, 116, 17, 1, 18);
    cairo_fill(cr);
    c.setColor(0xff7fd0, 0.8);
    selectFont(cr, 10, false);
    cairo_move_to(cr, 127, 30);
    cairo_show_text(cr, "late night transmission");
    for (int i = 0; i < 12; ++i) {
        const double x = 270 + i * 11.0;
        c.setColor(0x47c6d8, 0.15 + 0.05 * i);
        cairo_set_line_width(cr, 2.0);
        cairo_move_to(cr, x, 20);
        cairo_line_to(cr, x + 5, 26);
        cairo_line_to(cr, x, 32);
        cairo_stroke(cr);
    }
    Lcg rng(66);
    for (int i = 0; i < 24; ++i) {
        const double x = 420 + i * 7.0;
        const double level = 4 + std::round((0.5 + 0.5 * std::sin(i * 0.55)) * 14 + rng.unit() * 6);
        for (double seg = 0; seg < level; seg += 3) {
            c.setColor(seg > 15 ? 0xff5fc8 : (seg > 9 ? 0xffc870 : 0x2fa8c0), 0.75);
            cairo_rectangle(cr, x, 36 - seg, 5, 2);
            cairo_fill(cr);
        }
    }

    // Bottom strip stays dark where the logo adds its light; a faint floor of lines leads to it.
    for (int i = 0; i < 6; ++i) {
        const double y = bandBottom + 12 + i * i * 1.6 + i * 3;
        fadingRule(c, 0, w, y, 1, 0x3a6aa8, 0.16 - i * 0.02);
    }
    cairo_set_line_width(cr, 1.0);
    for (int i = -12; i <= 12; ++i) {
        c.setColor(0x3a6aa8, 0.10);
        cairo_move_to(cr, w / 2 + i * 14, bandBottom + 8);
        cairo_line_to(cr, w / 2 + i * 60, h);
        cairo_stroke(cr);
    }
}

void Pictures::logoStrip(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    c.fill(0x000000);

    selectFont(cr, 32, true);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, "tindrel", &ext);
    const double tx = std::round(w / 2 - (ext.width / 2 + ext.x_bearing));
    const double ty = 32;
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int pass = 4; pass >= 1; --pass) {
        c.setColor(0x2aa8ff, 0.09);
        cairo_move_to(cr, tx, ty);
        cairo_text_path(cr, "tindrel");
        cairo_set_line_width(cr, pass * 2.5);
        cairo_stroke(cr);
    }
    cairo_pattern_t* ink = cairo_pattern_create_linear(0, ty - 24, 0, ty);
    addStop(ink, 0, 0xffffff);
    addStop(ink, 1, 0x8fe0ff);
    cairo_set_source(cr, ink);
    cairo_move_to(cr, tx, ty);
    cairo_show_text(cr, "tindrel");
    cairo_pattern_destroy(ink);

    // Rules run out from the name to ornaments near the edges, with a tagline on each.
    const double half = ext.width / 2 + 18;
    const double ruleY = 21;
    for (int side = -1; side <= 1; side += 2) {
        const double inner = w / 2 + side * half, outer = w / 2 + side * (w / 2 - 26);
        cairo_pattern_t* rule = cairo_pattern_create_linear(inner, 0, outer, 0);
        addStop(rule, 0, 0xff5fc8, 1.0);
        addStop(rule, 1, 0xff5fc8, 0.15);
        cairo_set_source(cr, rule);
        cairo_rectangle(cr, std::min(inner, outer), ruleY, std::abs(outer - inner), 1.5);
        cairo_fill(cr);
        cairo_pattern_destroy(rule);
        diamond(c, outer, ruleY + 0.75, 3.5, 0xffc870, 0.9);
        sparkle(c, inner + side * 2, ruleY + 0.75, 4.5, 0xffffff, 0.9);
    }
    c.setColor(0x9fdcff, 0.85);
    crispText(c, "a real-time show", w / 2 - 160, 37, 10, false, 1);
    crispText(c, "after midnight", w / 2 + 160, 37, 10, false, 1);
}

void Pictures::sidePanel(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    const double h = c.height();
    const double panel = 200;

    // The wave warp adds a bright texture on the right, so that side is nearly black.
    cairo_pattern_t* dark = cairo_pattern_create_linear(panel, 0, w, h);
    addStop(dark, 0, 0x0a1230);
    addStop(dark, 0.5, 0x050920);
    addStop(dark, 1, 0x020310);
    cairo_set_source(cr, dark);
    cairo_rectangle(cr, panel, 0, w - panel, h);
    cairo_fill(cr);
    cairo_pattern_destroy(dark);

    verticalBand(c, 0, 0, panel, h, {0x1c1450, 0x141a48, 0x0c3140});
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, panel, h);
    cairo_clip(cr);
    // Fine diagonal stripes give the panel a printed, physical texture.
    c.setColor(0xffffff, 0.045);
    cairo_set_line_width(cr, 3.0);
    for (double x = -h; x < panel + h; x += 11) {
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x + h, h);
    }
    cairo_stroke(cr);
    // A sun of rings in the upper corner, echoing the star of the second scene.
    const double ox = 140, oy = 70;
    radialGlow(c, ox, oy, 90, 0xff5fc8, 0.30);
    for (int i = 0; i < 7; ++i) {
        c.setColor(i % 2 ? 0x39d5ff : 0xff5fc8, 0.55 - i * 0.06);
        cairo_set_line_width(cr, i == 0 ? 2.0 : 1.0);
        cairo_arc(cr, ox, oy, 12 + i * 10.0, 0, 2 * pi);
        cairo_stroke(cr);
    }
    cairo_pattern_t* sun = cairo_pattern_create_radial(ox - 3, oy - 3, 1, ox, oy, 11);
    addStop(sun, 0, 0xffe0b0);
    addStop(sun, 1, 0xe07a5a);
    cairo_set_source(cr, sun);
    cairo_arc(cr, ox, oy, 10, 0, 2 * pi);
    cairo_fill(cr);
    // A grid of diamonds shrinking downward draws the eye back up to the name.
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 6; ++i) {
            const double x = 112 + i * 13.0, y = 168 + j * 13.0;
            diamond(c, x, y, 3.2 - j * 0.32, j < 4 ? 0x39d5ff : 0x2fa8c0, 0.75 - j * 0.06);
        }
    // Three colour bars under the grid, the show's accents in a row like a printed swatch.
    const std::uint32_t swatch[] = {0xffc870, 0xff5fc8, 0x39d5ff};
    for (int i = 0; i < 3; ++i) {
        c.setColor(swatch[i], 0.8);
        cairo_rectangle(cr, 106, 270 + i * 7.0, 74 - i * 16.0, 3);
        cairo_fill(cr);
    }
    cairo_restore(cr);

    // The name runs up the panel: the only way it fits large in 200 columns.
    cairo_save(cr);
    cairo_translate(cr, 68, h - 22);
    cairo_rotate(cr, -pi / 2);
    selectFont(cr, 60, true);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int pass = 4; pass >= 1; --pass) {
        c.setColor(0x39d5ff, 0.07);
        cairo_move_to(cr, 0, 0);
        cairo_text_path(cr, "tindrel");
        cairo_set_line_width(cr, pass * 3.0);
        cairo_stroke(cr);
    }
    cairo_pattern_t* ink = cairo_pattern_create_linear(0, 0, 250, 0);
    addStop(ink, 0, 0x9fe6ff);
    addStop(ink, 1, 0xffffff);
    cairo_set_source(cr, ink);
    cairo_move_to(cr, 0, 0);
    cairo_show_text(cr, "tindrel");
    cairo_pattern_destroy(ink);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 88, h - 22);
    cairo_rotate(cr, -pi / 2);
    c.setColor(0xff7fd0, 0.85);
    selectFont(cr, 11, false);
    cairo_move_to(cr, 2, 0);
    cairo_show_text(cr, "a real-time show");
    cairo_restore(cr);

    // Lit rails mark where the warp begins, so its ragged light has a clean edge to meet.
    verticalBand(c, panel - 8, 0, 8, h, {0x123048, 0x1c4a66, 0x123048});
    cairo_pattern_t* edge = cairo_pattern_create_linear(0, 0, 0, h);
    addStop(edge, 0, 0x5fe0ff, 0.2);
    addStop(edge, 0.5, 0x5fe0ff, 1.0);
    addStop(edge, 1, 0x5fe0ff, 0.2);
    cairo_set_source(cr, edge);
    cairo_rectangle(cr, panel - 2, 0, 1, h);
    cairo_fill(cr);
    cairo_pattern_destroy(edge);
    c.setColor(0xff5fc8, 0.55);
    cairo_rectangle(cr, panel - 6, 0, 1, h);
    cairo_fill(cr);
}

const std::vector<PictureAsset>& showPictures() {
    // Additive layers stand on pure black, kept exact so they add nothing where they are empty.
    static const std::vector<PictureAsset> all = {
        {"Part1/logolight.pcx", 600, 300, Pictures::openingLogo, 0.3f, {0x000000}},
        {"Part1/background.pcx", 600, 300, Pictures::openingSky},
        {"Part2/star.pcx", 600, 300, Pictures::burst},
        {"Part3/background.pcx", 600, 300, Pictures::scrollBackdrop},
        {"Part3/scroll.pcx", 450, 1600, Pictures::credits, 0.3f, {0x000000}},
        {"Part3/dots.pcx", 600, 300, Pictures::dots, 0.3f, {0x000000}},
        {"Part3/dots2.pcx", 600, 300, Pictures::dots2, 0.3f, {0x000000}},
        {"Part6/background.pcx", 600, 300, Pictures::warpFrame},
        {"Part6/logo.pcx", 600, 45, Pictures::logoStrip, 0.3f, {0x000000}},
        {"Part8/background.pcx", 600, 300, Pictures::sidePanel},
        {"Part9/background.pcx", 600, 300, Pictures::closing},
    };
    return all;
}
