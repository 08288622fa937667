#include "tools/Pictures.h"

#include <algorithm>
#include <array>
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

// The name as the show signs it: a soft cyan halo stroked widest first, then the letters in a
// white-to-ice gradient. The font must already be selected.
struct Halo {
    double alpha;
    double step;        // line width added per halo pass
    double inkHeight;   // rows the letters' gradient spans above the baseline
    std::uint32_t inkBottom;
};
void haloedName(Canvas& c, double x, double baseline, const Halo& h) {
    cairo_t* cr = c.cr();
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int pass = 4; pass >= 1; --pass) {
        c.setColor(0x2aa8ff, h.alpha);
        cairo_move_to(cr, x, baseline);
        cairo_text_path(cr, "tindrel");
        cairo_set_line_width(cr, pass * h.step);
        cairo_stroke(cr);
    }
    cairo_pattern_t* ink = cairo_pattern_create_linear(0, baseline - h.inkHeight, 0, baseline);
    addStop(ink, 0, 0xffffff);
    addStop(ink, 1, h.inkBottom);
    cairo_set_source(cr, ink);
    cairo_move_to(cr, x, baseline);
    cairo_show_text(cr, "tindrel");
    cairo_pattern_destroy(ink);
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
            cairo_pattern_destroy(spine);
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
    cairo_pattern_destroy(core);
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
    haloedName(c, tx, y, {.alpha = 0.08, .step = 3.0, .inkHeight = 48, .inkBottom = 0x9fe6ff});
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
    haloedName(c, tx, ty, {.alpha = 0.09, .step = 2.5, .inkHeight = 24, .inkBottom = 0x8fe0ff});

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
    cairo_pattern_destroy(sun);
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

namespace {

// Adds light rather than covering: where beams and glows cross they brighten, as light does.
struct AddLight {
    explicit AddLight(cairo_t* cr) : cr_(cr) {
        cairo_save(cr_);
        cairo_set_operator(cr_, CAIRO_OPERATOR_ADD);
    }
    ~AddLight() { cairo_restore(cr_); }
    AddLight(const AddLight&) = delete;
    AddLight& operator=(const AddLight&) = delete;

private:
    cairo_t* cr_;
};

// A floor of lines running to a vanishing point on the horizon, fading out with distance so the
// lines never pile up into a bright knot where they meet.
void floorGrid(Canvas& c, double vanishX, double horizon, double bottom, double spacing, std::uint32_t rgb,
               double alpha) {
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_rectangle(cr, 0, horizon, c.width(), bottom - horizon);
    cairo_clip(cr);
    cairo_pattern_t* fade = cairo_pattern_create_linear(0, horizon, 0, bottom);
    addStop(fade, 0, rgb, 0);
    addStop(fade, 0.35, rgb, alpha * 0.45);
    addStop(fade, 1, rgb, alpha);
    cairo_set_source(cr, fade);
    cairo_set_line_width(cr, 1.0);
    const double depth = bottom - horizon;
    const int reach = static_cast<int>(std::ceil(c.width() / spacing)) + 1;
    for (int i = -reach; i <= reach; ++i) {
        cairo_move_to(cr, vanishX, horizon);
        cairo_line_to(cr, vanishX + i * spacing * 1.5, horizon + depth * 1.5);
    }
    // Equal steps in depth land ever closer together toward the horizon.
    for (int k = 0;; ++k) {
        const double y = horizon + depth / (1 + 0.55 * k);
        if (y - horizon < 2.5) break;
        cairo_move_to(cr, 0, std::floor(y) + 0.5);
        cairo_line_to(cr, c.width(), std::floor(y) + 0.5);
    }
    cairo_stroke(cr);
    cairo_pattern_destroy(fade);
    cairo_restore(cr);
}

// A wedge of light from a lamp, widest and faintest where it lands.
void beam(Canvas& c, double x0, double y0, double x1, double y1, double halfWidth, std::uint32_t rgb, double alpha) {
    cairo_t* cr = c.cr();
    const double dx = x1 - x0, dy = y1 - y0;
    const double len = std::hypot(dx, dy);
    const double nx = -dy / len * halfWidth, ny = dx / len * halfWidth;
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    addStop(p, 0, rgb, alpha);
    addStop(p, 0.45, rgb, alpha * 0.45);
    addStop(p, 1, rgb, 0);
    cairo_move_to(cr, x0 - nx * 0.08, y0 - ny * 0.08);
    cairo_line_to(cr, x1 - nx, y1 - ny);
    cairo_line_to(cr, x1 + nx, y1 + ny);
    cairo_line_to(cr, x0 + nx * 0.08, y0 + ny * 0.08);
    cairo_close_path(cr);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

} // namespace

void Pictures::starHorizon(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    const double h = c.height();
    const double horizon = 198;
    const double vx = 200;  // the star tumbles over the left two thirds; its floor runs to their middle
    const double panel = 400;

    linearSky(c, horizon, 0x040718, 0x10163e, 0x2a1850);
    stars(c, 44, 170, horizon - 40);
    radialGlow(c, vx, horizon, 250, 0xb0387a, 0.32);
    radialGlow(c, vx, horizon, 110, 0x2fa8c0, 0.18);

    // Far ridges in silhouette, parted where the floor runs away, so the middle stays open sky.
    for (int layer = 0; layer < 2; ++layer) {
        Lcg rng(47 + layer);
        cairo_move_to(cr, -10, horizon + 1);
        double y = horizon - 14 + layer * 6;
        for (double x = -10; x <= w + 20; x += 14 + layer * 6) {
            const double open = std::clamp((std::abs(x - vx) - 40) / 110.0, 0.0, 1.0);
            y = std::clamp(y + (rng.unit() - 0.5) * 16, horizon - 34.0 + layer * 10, horizon - 4.0);
            cairo_line_to(cr, x, horizon - (horizon - y) * open);
        }
        cairo_line_to(cr, w + 20, horizon + 1);
        cairo_close_path(cr);
        c.setColor(layer == 0 ? 0x1a1444 : 0x0c0b2a);
        cairo_fill_preserve(cr);
        c.setColor(layer == 0 ? 0x7a4cc8 : 0x47c6d8, layer == 0 ? 0.30 : 0.22);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }

    verticalBand(c, 0, horizon, w, h - horizon, {0x1a0f3e, 0x0c0c2c, 0x05071a});
    floorGrid(c, vx, horizon, h, 54, 0x39d5ff, 0.42);
    floorGrid(c, vx, horizon, h, 54 * 3, 0xff5fc8, 0.20);
    // The horizon burns brightest under the star.
    fadingRule(c, vx - 330, vx + 330, horizon, 1, 0xff9ad8, 0.85);
    fadingRule(c, vx - 150, vx + 150, horizon - 1, 1, 0xffd9a0, 0.35);

    // The arrows rock on the right third: a pane of dark glass keeps that field calm, with the
    // horizon and floor still faintly behind it so the frame reads as one place.
    cairo_pattern_t* glass = cairo_pattern_create_linear(0, 0, 0, h);
    addStop(glass, 0, 0x060a1e, 0.90);
    addStop(glass, 0.66, 0x0a1030, 0.86);
    addStop(glass, 1, 0x05081a, 0.92);
    cairo_set_source(cr, glass);
    cairo_rectangle(cr, panel, 0, w - panel, h);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
    radialGlow(c, 500, 150, 170, 0x1c2c68, 0.30);
    dust(c, 48, 26, panel + 8, 6, w - 6, h - 6, 0.30);

    cairo_pattern_t* edge = cairo_pattern_create_linear(0, 0, 0, h);
    addStop(edge, 0, 0x5fe0ff, 0.1);
    addStop(edge, 0.66, 0x5fe0ff, 0.9);
    addStop(edge, 1, 0x5fe0ff, 0.1);
    cairo_set_source(cr, edge);
    cairo_rectangle(cr, panel, 0, 1, h);
    cairo_fill(cr);
    cairo_pattern_destroy(edge);
    c.setColor(0xff5fc8, 0.28);
    cairo_rectangle(cr, panel + 3, 0, 1, h);
    cairo_fill(cr);
    for (double y = 10; y < h; y += 20) {
        c.setColor(0x5fe0ff, std::fmod(y - 10, 100) == 0 ? 0.45 : 0.18);
        cairo_rectangle(cr, panel + 5, y, std::fmod(y - 10, 100) == 0 ? 6 : 3, 1);
        cairo_fill(cr);
    }
    diamond(c, panel + 0.5, horizon + 0.5, 3.5, 0xffc870, 0.9);
}

void Pictures::waveBackdrop(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    const double h = c.height();

    verticalBand(c, 0, 0, w, h, {0x070b24, 0x0b1430, 0x0a1a36, 0x06101e});
    radialGlow(c, 400, 120, 360, 0x2c1c60, 0.40);
    radialGlow(c, 140, 300, 260, 0x0d4a5a, 0.30);

    // Long swells running across the frame, the wave the cubes ride, in faint strokes.
    cairo_set_line_width(cr, 1.0);
    for (int j = 0; j < 16; ++j) {
        const double base = 12 + j * 18.5;
        const double phase = j * 0.42;
        const double amp = 7 + 3 * std::sin(j * 0.9);
        for (double x = -4; x <= w + 4; x += 4) {
            const double y = base + amp * std::sin(x / 600.0 * 2 * pi * 1.5 + phase) +
                             3 * std::sin(x / 600.0 * 2 * pi * 4 - phase * 1.7);
            if (x < -3)
                cairo_move_to(cr, x, y);
            else
                cairo_line_to(cr, x, y);
        }
        // Brightest right of centre, away from the figure standing at the left.
        const std::uint32_t rgb = j % 3 == 1 ? 0xff5fc8 : 0x39d5ff;
        const double peak = (j % 3 == 1 ? 0.10 : 0.13) * (j % 5 == 2 ? 1.8 : 1.0);
        cairo_pattern_t* swell = cairo_pattern_create_linear(0, 0, w, 0);
        addStop(swell, 0, rgb, peak * 0.3);
        addStop(swell, 0.68, rgb, peak);
        addStop(swell, 1, rgb, peak * 0.5);
        cairo_set_source(cr, swell);
        cairo_stroke(cr);
        cairo_pattern_destroy(swell);
    }

    // Small crosses at the corners of the cubes' 13 by 8 cells, a lattice glimpsed between them.
    const double cellW = w / 13, cellH = h / 8;
    for (int j = 1; j < 8; ++j)
        for (int i = 1; i < 13; ++i) {
            const double x = std::round(i * cellW) + 0.5, y = std::round(j * cellH) + 0.5;
            c.setColor(0x7fb8ff, 0.16);
            cairo_move_to(cr, x - 3, y);
            cairo_line_to(cr, x + 3, y);
            cairo_move_to(cr, x, y - 3);
            cairo_line_to(cr, x, y + 3);
            cairo_stroke(cr);
        }
    dust(c, 55, 120, 0, 0, w, h, 0.35);
    fadingRule(c, 0, w, 2, 1, 0x47c6d8, 0.35);
    fadingRule(c, 0, w, h - 3, 1, 0x47c6d8, 0.35);
}

namespace {

// The figure is drawn alone onto a surface with coverage, then set over dark navy wherever it
// covers at least half a pixel; everywhere else is the exact key, so no edge ever blends into it.
constexpr std::uint32_t figureKey = 0x04FC04;
constexpr std::uint32_t figureEdge = 0x0b1430;

void keyFigure(Canvas& c, void (*draw)(cairo_t*)) {
    const int w = c.width(), h = c.height();
    cairo_surface_t* figure = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* fc = cairo_create(figure);
    cairo_set_antialias(fc, CAIRO_ANTIALIAS_GOOD);
    draw(fc);
    cairo_destroy(fc);
    cairo_surface_flush(figure);

    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    const unsigned char* src = cairo_image_surface_get_data(figure);
    unsigned char* dst = cairo_image_surface_get_data(out);
    const int srcStride = cairo_image_surface_get_stride(figure), dstStride = cairo_image_surface_get_stride(out);
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(src + static_cast<std::ptrdiff_t>(y) * srcStride);
        auto* o = reinterpret_cast<std::uint32_t*>(dst + static_cast<std::ptrdiff_t>(y) * dstStride);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = in[x];
            const std::uint32_t a = p >> 24;
            if (a < 128) {
                o[x] = figureKey;
                continue;
            }
            // Premultiplied colour plus the navy showing through what the figure leaves uncovered.
            auto over = [&](int shift) {
                const std::uint32_t fg = (p >> shift) & 0xFF, bg = (figureEdge >> shift) & 0xFF;
                return std::min<std::uint32_t>(255, fg + (bg * (255 - a) + 127) / 255) << shift;
            };
            o[x] = over(16) | over(8) | over(0);
        }
    }
    cairo_surface_mark_dirty(out);
    cairo_surface_destroy(figure);

    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, out, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(out);
}

void paint(cairo_t* cr, std::uint32_t rgb, double alpha = 1.0) {
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                          alpha);
}

// Every part of the figure gets the same dark ink line, so it reads as one drawing on any backdrop.
constexpr std::uint32_t ink = 0x070a1a;

void inked(cairo_t* cr, cairo_pattern_t* fill, double line = 2.2) {
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    paint(cr, ink);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);
    cairo_pattern_destroy(fill);
}

void inked(cairo_t* cr, std::uint32_t rgb, double line = 2.2) {
    paint(cr, rgb);
    cairo_fill_preserve(cr);
    paint(cr, ink);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);
}

cairo_pattern_t* shade(double x0, double y0, double x1, double y1, std::uint32_t from, std::uint32_t to) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    addStop(p, 0, from);
    addStop(p, 1, to);
    return p;
}

// A limb as a thick round-ended stroke: ink first, wider, then the cloth over it.
void limb(cairo_t* cr, std::initializer_list<std::array<double, 2>> joints, double width, std::uint32_t rgb) {
    for (int pass = 0; pass < 2; ++pass) {
        bool first = true;
        for (const auto& j : joints) {
            if (first)
                cairo_move_to(cr, j[0], j[1]);
            else
                cairo_line_to(cr, j[0], j[1]);
            first = false;
        }
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        paint(cr, pass == 0 ? ink : rgb);
        cairo_set_line_width(cr, pass == 0 ? width + 4.4 : width);
        cairo_stroke(cr);
    }
}

// The night owl: a DJ in a hoodie and track trousers, headphones on, one fist up with a glow stick.
void nightOwlFigure(cairo_t* cr) {
    const double cx = 80;
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);

    // Legs first: the hoodie's hem covers their tops.
    const std::uint32_t trousers = 0x1d2a55, stripe = 0xff5fc8;
    cairo_move_to(cr, cx - 28, 160);
    cairo_line_to(cr, cx - 2, 160);
    cairo_line_to(cr, cx - 10, 224);
    cairo_line_to(cr, cx - 34, 224);
    cairo_close_path(cr);
    inked(cr, shade(cx - 34, 0, cx - 2, 0, 0x2a3a6e, 0x141c40));
    cairo_move_to(cr, cx + 2, 160);
    cairo_line_to(cr, cx + 28, 160);
    cairo_line_to(cr, cx + 36, 224);
    cairo_line_to(cr, cx + 12, 224);
    cairo_close_path(cr);
    inked(cr, shade(cx + 2, 0, cx + 36, 0, 0x24336a, trousers));
    // Track stripes down the outer seams.
    paint(cr, stripe, 0.95);
    cairo_set_line_width(cr, 2.4);
    cairo_move_to(cr, cx - 27, 166);
    cairo_line_to(cr, cx - 32, 221);
    cairo_move_to(cr, cx + 27, 166);
    cairo_line_to(cr, cx + 33, 221);
    cairo_stroke(cr);

    // Trainers, pointing a little outward, pale with a cyan sole.
    for (int side = -1; side <= 1; side += 2) {
        const double heel = cx + side * 8, toe = cx + side * 44;
        cairo_move_to(cr, heel, 220);
        cairo_line_to(cr, cx + side * 30, 219);
        cairo_curve_to(cr, cx + side * 38, 222, toe, 226, toe, 232);
        cairo_line_to(cr, toe, 235);
        cairo_line_to(cr, heel, 235);
        cairo_close_path(cr);
        inked(cr, shade(0, 218, 0, 236, 0xf0f4ff, 0xa8b8e0));
        cairo_rectangle(cr, std::min(heel, toe), 231, std::abs(toe - heel), 5);
        inked(cr, 0x2fb8e0, 1.6);
        paint(cr, 0xff5fc8);
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, cx + side * 18, 228);
        cairo_line_to(cr, cx + side * 30, 222);
        cairo_stroke(cr);
    }

    const std::uint32_t hoodie = 0x4a3aa8, hoodieDark = 0x2a2070, cuff = 0x35b8d8;

    // Hoodie body, flaring slightly to a banded hem.
    cairo_move_to(cr, cx - 38, 100);
    cairo_curve_to(cr, cx - 24, 90, cx + 24, 90, cx + 38, 100);
    cairo_curve_to(cr, cx + 42, 124, cx + 38, 150, cx + 40, 170);
    cairo_line_to(cr, cx - 40, 170);
    cairo_curve_to(cr, cx - 38, 150, cx - 42, 124, cx - 38, 100);
    cairo_close_path(cr);
    inked(cr, shade(cx - 40, 92, cx + 40, 170, 0x5a48c0, hoodieDark));
    cairo_rectangle(cr, cx - 39, 162, 78, 8);
    inked(cr, hoodieDark, 1.6);
    // Kangaroo pocket.
    cairo_move_to(cr, cx - 22, 160);
    cairo_line_to(cr, cx - 16, 136);
    cairo_line_to(cr, cx + 16, 136);
    cairo_line_to(cr, cx + 22, 160);
    paint(cr, 0x1c1650, 0.9);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    // The lowered arm hangs at the side, a little out from the body.
    limb(cr, {{cx - 32, 104}, {cx - 48, 134}, {cx - 48, 160}}, 16, 0x3e3098);
    limb(cr, {{cx - 48, 158}, {cx - 48, 164}}, 16, cuff);
    cairo_arc(cr, cx - 47, 172, 7.5, 0, 2 * pi);
    inked(cr, shade(0, 164, 0, 180, 0xe0a07a, 0xb06e52));
    // The show's glint on the chest.
    {
        const double x = cx + 20, y = 118, r = 7, k = r * 0.18;
        cairo_move_to(cr, x, y - r);
        cairo_curve_to(cr, x + k, y - k, x + k, y - k, x + r, y);
        cairo_curve_to(cr, x + k, y + k, x + k, y + k, x, y + r);
        cairo_curve_to(cr, x - k, y + k, x - k, y + k, x - r, y);
        cairo_curve_to(cr, x - k, y - k, x - k, y - k, x, y - r);
        cairo_close_path(cr);
        paint(cr, 0x8ff0ff);
        cairo_fill(cr);
    }

    // Neck and the hood bunched behind it.
    cairo_rectangle(cr, cx - 8, 78, 16, 18);
    inked(cr, 0xb87356);
    cairo_move_to(cr, cx - 26, 98);
    cairo_curve_to(cr, cx - 24, 84, cx + 24, 84, cx + 26, 98);
    cairo_curve_to(cr, cx + 14, 106, cx - 14, 106, cx - 26, 98);
    cairo_close_path(cr);
    inked(cr, shade(0, 86, 0, 104, 0x6a58d0, hoodieDark));
    // Drawstrings with amber tips.
    paint(cr, 0xe8e0ff);
    cairo_set_line_width(cr, 1.8);
    cairo_move_to(cr, cx - 7, 101);
    cairo_line_to(cr, cx - 9, 124);
    cairo_move_to(cr, cx + 7, 101);
    cairo_line_to(cr, cx + 8, 122);
    cairo_stroke(cr);
    cairo_rectangle(cr, cx - 11, 123, 4, 6);
    cairo_rectangle(cr, cx + 6, 121, 4, 6);
    inked(cr, 0xffc870, 1.2);

    // The raised arm, fist up, glow stick in hand.
    limb(cr, {{cx + 32, 104}, {cx + 56, 82}, {cx + 62, 44}}, 17, hoodie);
    limb(cr, {{cx + 61, 50}, {cx + 62, 44}}, 17, cuff);
    cairo_move_to(cr, cx + 60, 28);
    cairo_line_to(cr, cx + 90, 6);
    paint(cr, ink);
    cairo_set_line_width(cr, 9);
    cairo_stroke(cr);
    cairo_move_to(cr, cx + 60, 28);
    cairo_line_to(cr, cx + 90, 6);
    paint(cr, 0xff4fc0);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    cairo_move_to(cr, cx + 66, 24);
    cairo_line_to(cr, cx + 88, 8);
    paint(cr, 0xffd8f4);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    cairo_arc(cr, cx + 62, 34, 9, 0, 2 * pi);
    inked(cr, shade(0, 25, 0, 43, 0xeaa882, 0xb06e52));
    paint(cr, ink);
    cairo_set_line_width(cr, 1.2);
    for (int i = 0; i < 2; ++i) {
        cairo_move_to(cr, cx + 56 + i * 5, 30);
        cairo_line_to(cr, cx + 56 + i * 5, 35);
    }
    cairo_stroke(cr);

    // Head: face, hair swept across, visor glasses catching the lights.
    cairo_save(cr);
    cairo_translate(cr, cx, 56);
    cairo_scale(cr, 21, 25);
    cairo_arc(cr, 0, 0, 1, 0, 2 * pi);
    cairo_restore(cr);
    cairo_pattern_t* skin = cairo_pattern_create_radial(cx - 7, 50, 2, cx, 56, 27);
    addStop(skin, 0, 0xf0b892);
    addStop(skin, 1, 0xb8704f);
    inked(cr, skin);
    cairo_move_to(cr, cx - 22, 54);
    cairo_curve_to(cr, cx - 26, 30, cx - 6, 24, cx + 6, 27);
    cairo_curve_to(cr, cx + 22, 30, cx + 26, 44, cx + 21, 56);
    cairo_curve_to(cr, cx + 14, 44, cx - 2, 46, cx - 12, 40);
    cairo_curve_to(cr, cx - 16, 46, cx - 18, 50, cx - 22, 54);
    cairo_close_path(cr);
    inked(cr, shade(cx - 20, 26, cx + 20, 56, 0x3a2a78, 0x16123a));
    cairo_move_to(cr, cx - 20, 55);
    cairo_curve_to(cr, cx - 10, 51, cx + 10, 51, cx + 20, 55);
    cairo_line_to(cr, cx + 18, 64);
    cairo_curve_to(cr, cx + 8, 67, cx + 2, 65, cx, 62);
    cairo_curve_to(cr, cx - 2, 65, cx - 8, 67, cx - 18, 64);
    cairo_close_path(cr);
    inked(cr, shade(cx - 20, 52, cx + 20, 66, 0x2fd8ff, 0xc43aa0), 1.8);
    paint(cr, 0xffffff, 0.9);
    cairo_set_line_width(cr, 1.4);
    cairo_move_to(cr, cx - 14, 56.5);
    cairo_line_to(cr, cx - 7, 55.5);
    cairo_stroke(cr);
    // A small grin.
    paint(cr, 0x5a2030);
    cairo_set_line_width(cr, 1.8);
    cairo_arc(cr, cx + 2, 68, 6, 0.25 * pi, 0.8 * pi);
    cairo_stroke(cr);

    // Headphones: a band over the hair, big cups with a cyan light ring.
    cairo_arc(cr, cx, 56, 27, 1.08 * pi, 1.92 * pi);
    paint(cr, ink);
    cairo_set_line_width(cr, 8);
    cairo_stroke(cr);
    cairo_arc(cr, cx, 56, 27, 1.08 * pi, 1.92 * pi);
    paint(cr, 0x3c4470);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    for (int side = -1; side <= 1; side += 2) {
        const double x = cx + side * 24;
        cairo_save(cr);
        cairo_translate(cr, x, 58);
        cairo_scale(cr, 8, 13);
        cairo_arc(cr, 0, 0, 1, 0, 2 * pi);
        cairo_restore(cr);
        inked(cr, shade(x - 8, 45, x + 8, 71, 0xe04ab0, 0x7a1e6a));
        cairo_save(cr);
        cairo_translate(cr, x + side * 1.5, 58);
        cairo_scale(cr, 4, 8);
        cairo_arc(cr, 0, 0, 1, 0, 2 * pi);
        cairo_restore(cr);
        paint(cr, 0x7ff0ff);
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
    }
}

} // namespace

void Pictures::nightOwl(Canvas& c) { keyFigure(c, nightOwlFigure); }

void Pictures::stage(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    const double h = c.height();
    const double left = 380;  // the object's stage; the tunnel's window is to its right
    const double mid = 191;   // the object view's middle
    const double floorTop = 214;

    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, left, h);
    cairo_clip(cr);

    // A glossy floor of tiles running back to the stage's middle; the backcloth hides its far end.
    verticalBand(c, 0, floorTop, left, h - floorTop, {0x140f38, 0x0a0a26, 0x04061a});
    floorGrid(c, mid, floorTop - 40, h, 46, 0x7a6ad8, 0.30);

    // A velvet backcloth: pleats as a repeating light and shade across the width.
    cairo_pattern_t* pleats = cairo_pattern_create_linear(0, 0, left, 0);
    const int folds = 14;
    for (int i = 0; i <= folds * 4; ++i) {
        const double t = i / (folds * 4.0);
        const int phase = i % 4;
        addStop(pleats, t, phase == 0 ? 0x0a0a26 : phase == 2 ? 0x221a55 : 0x161240);
    }
    cairo_set_source(cr, pleats);
    cairo_rectangle(cr, 0, 0, left, floorTop);
    cairo_fill(cr);
    cairo_pattern_destroy(pleats);
    // Darker high up, where the rig hides in shadow.
    cairo_pattern_t* dusk = cairo_pattern_create_linear(0, 0, 0, floorTop);
    addStop(dusk, 0, 0x03040f, 0.85);
    addStop(dusk, 0.55, 0x03040f, 0.25);
    addStop(dusk, 1, 0x03040f, 0.0);
    cairo_set_source(cr, dusk);
    cairo_rectangle(cr, 0, 0, left, floorTop);
    cairo_fill(cr);
    cairo_pattern_destroy(dusk);
    radialGlow(c, mid, floorTop - 30, 170, 0x5a2a8e, 0.35);

    fadingRule(c, -40, left + 40, floorTop, 1, 0x9f8cff, 0.55);

    // Spotlights from the rig, crossing on the object, each pooling on the floor.
    struct Lamp {
        double x, aimX;
        std::uint32_t rgb;
    };
    const Lamp lamps[] = {
        {36, mid + 40, 0x39d5ff}, {mid - 60, mid - 10, 0xff5fc8}, {mid + 60, mid + 10, 0xffc870},
        {left - 36, mid - 40, 0x39d5ff},
    };
    {
        AddLight add(cr);
        for (const Lamp& l : lamps) {
            beam(c, l.x, 14, l.aimX, 262, 48, l.rgb, 0.17);
            cairo_save(cr);
            cairo_translate(cr, l.aimX, 262);
            cairo_scale(cr, 1, 0.2);
            radialGlow(c, 0, 0, 70, l.rgb, 0.28);
            cairo_restore(cr);
        }
    }

    // The podium: a low drum, its rim lit cyan, under where the object wobbles.
    const double py = 258, rx = 118, ry = 18;
    cairo_save(cr);
    cairo_translate(cr, mid, py + 14);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, pi);
    cairo_restore(cr);
    cairo_line_to(cr, mid - rx, py);
    cairo_save(cr);
    cairo_translate(cr, mid, py);
    cairo_scale(cr, rx, ry);
    cairo_arc_negative(cr, 0, 0, 1, pi, 0);
    cairo_restore(cr);
    cairo_close_path(cr);
    cairo_pattern_t* side = cairo_pattern_create_linear(mid - rx, 0, mid + rx, 0);
    addStop(side, 0, 0x0c0a28);
    addStop(side, 0.45, 0x2a2260);
    addStop(side, 1, 0x0c0a28);
    cairo_set_source(cr, side);
    cairo_fill(cr);
    cairo_pattern_destroy(side);
    cairo_save(cr);
    cairo_translate(cr, mid, py);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * pi);
    cairo_restore(cr);
    cairo_pattern_t* top = cairo_pattern_create_radial(mid, py - 4, 4, mid, py, rx);
    addStop(top, 0, 0x3a2e7a);
    addStop(top, 1, 0x1a1648);
    cairo_set_source(cr, top);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(top);
    c.setColor(0x5fe0ff, 0.85);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    for (int i = 0; i < 9; ++i) {  // small lamps round the drum's face
        const double a = pi * (0.12 + 0.76 * i / 8.0);
        const double x = mid - rx * std::cos(a), y = py + 7 + ry * std::sin(a);
        c.setColor(i % 2 ? 0xff5fc8 : 0xffc870, 0.9);
        cairo_arc(cr, x, y, 1.4, 0, 2 * pi);
        cairo_fill(cr);
    }

    // The rig: a truss across the top with the lamps hung from it.
    verticalBand(c, 0, 0, left, 9, {0x1a1f40, 0x323a66, 0x141833});
    c.setColor(0x07091c, 0.9);
    cairo_set_line_width(cr, 1.0);
    for (double x = 0; x < left; x += 10) {
        cairo_move_to(cr, x + 0.5, 1.5);
        cairo_line_to(cr, x + 5.5, 7.5);
        cairo_line_to(cr, x + 10.5, 1.5);
    }
    cairo_stroke(cr);
    for (const Lamp& l : lamps) {
        cairo_save(cr);
        cairo_translate(cr, l.x, 12);
        cairo_rotate(cr, std::atan2(l.x - l.aimX, 250) * 0.8);
        c.setColor(0x0a0c20);
        cairo_rectangle(cr, -7, -4, 14, 10);
        cairo_fill(cr);
        c.setColor(0x4a5280);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, -6.5, -3.5, 13, 9);
        cairo_stroke(cr);
        c.setColor(mix(l.rgb, 0xffffff, 0.6));
        cairo_rectangle(cr, -5, 5, 10, 2);
        cairo_fill(cr);
        cairo_restore(cr);
        radialGlow(c, l.x, 18, 14, l.rgb, 0.55);
    }
    dust(c, 71, 40, 4, 20, left - 4, floorTop - 10, 0.30);
    cairo_restore(cr);

    // The tunnel's window: a lit rim four pixels deep, the only part of the right side left showing.
    c.setColor(0x04061a);
    cairo_rectangle(cr, left, 0, w - left, h);
    cairo_fill(cr);
    cairo_pattern_t* rim = cairo_pattern_create_linear(left, 0, w, h);
    addStop(rim, 0, 0x5fe0ff);
    addStop(rim, 0.5, 0x9f7cff);
    addStop(rim, 1, 0xff5fc8);
    // Outermost ring a soft spill of the rim's light, then the rim, then a dark lip so the tunnel
    // looks set back behind it.
    const double ringAlpha[4] = {0.5, 1.0, 1.0, 0.0};
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    for (int k = 0; k < 4; ++k) {
        cairo_rectangle(cr, left + k, k, w - left - 2 * k, h - 2 * k);
        cairo_rectangle(cr, left + k + 1, k + 1, w - left - 2 * k - 2, h - 2 * k - 2);
        c.setColor(k == 3 ? 0x060818 : 0x0a0e2a);
        cairo_fill_preserve(cr);
        cairo_save(cr);
        cairo_clip(cr);
        cairo_set_source(cr, rim);
        cairo_paint_with_alpha(cr, ringAlpha[k]);
        cairo_restore(cr);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_pattern_destroy(rim);
    // Rivets of amber at the corners, and a mid mark on each long side.
    const double corners[][2] = {{left, 0}, {w - 4, 0}, {left, h - 4}, {w - 4, h - 4}, {left, 148}, {w - 4, 148}};
    for (const auto& p : corners) {
        c.setColor(0xffc870);
        cairo_rectangle(cr, p[0] + 1, p[1] + 1, 2, 2);
        cairo_fill(cr);
    }
}

void Pictures::mirrorBall(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    const double h = c.height();
    const double bx = w / 2, by = 74, r = 38;
    c.fill(0x000000);

    // Beams first, so the ball stands in front of where they start.
    {
        AddLight add(cr);
        const struct {
            double angle, length, width;
            std::uint32_t rgb;
        } beams[] = {
            {0.30, 250, 22, 0x39d5ff}, {0.62, 300, 28, 0xff5fc8}, {0.95, 290, 20, 0xffc870},
            {1.25, 260, 26, 0x39d5ff}, {1.62, 300, 24, 0x9f7cff}, {1.98, 280, 26, 0xff5fc8},
            {2.30, 270, 20, 0x39d5ff}, {2.72, 240, 22, 0xffc870},
        };
        for (const auto& b : beams)
            beam(c, bx, by, bx + b.length * std::cos(b.angle), by + b.length * std::sin(b.angle), b.width, b.rgb,
                 0.15);
        radialGlow(c, bx, by, 80, 0x6a4cc8, 0.22);
    }

    // The cord it hangs from.
    c.setColor(0x8a94c0);
    cairo_rectangle(cr, bx - 0.5, 0, 1, by - r);
    cairo_fill(cr);
    c.setColor(0x5a6290);
    cairo_rectangle(cr, bx - 4, by - r - 5, 8, 6);
    cairo_fill(cr);

    // The ball: rows of square mirrors on a sphere tipped toward the viewer, each catching the
    // light by its own tilt, a few flashing in the show's colours.
    cairo_save(cr);
    cairo_arc(cr, bx, by, r, 0, 2 * pi);
    c.setColor(0x0c0e24);
    cairo_fill_preserve(cr);
    cairo_clip(cr);
    const int rows = 12, cols = 24;
    const double tilt = 0.28;
    auto project = [&](double lat, double lon, double& x, double& y, double& z) {
        const double X = std::cos(lat) * std::sin(lon), Y = std::sin(lat), Z = std::cos(lat) * std::cos(lon);
        const double Yt = Y * std::cos(tilt) - Z * std::sin(tilt);
        z = Y * std::sin(tilt) + Z * std::cos(tilt);
        x = bx + r * X;
        y = by - r * Yt;
    };
    const double lx = -0.55, ly = 0.6, lz = 0.58;  // light from the upper left, in front
    Lcg rng(77);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            const double roll = rng.unit();
            const double lat0 = -pi / 2 + i * pi / rows, lat1 = lat0 + pi / rows;
            const double lon0 = j * 2 * pi / cols + 0.1, lon1 = lon0 + 2 * pi / cols;
            double x, y, z;
            project((lat0 + lat1) / 2, (lon0 + lon1) / 2, x, y, z);
            if (z <= 0.02) continue;
            // On a unit sphere the projected centre is the mirror's normal: x across, y up, z toward us.
            const double nx = (x - bx) / r, ny = (by - y) / r;
            const double lit = std::max(0.0, nx * lx + ny * ly + z * lz);
            const double jitter = (rng.unit() - 0.5) * 0.35;
            std::uint32_t rgb = mix(0x161c3c, 0xd8e2f8, std::clamp(std::pow(lit, 1.8) + jitter, 0.0, 1.0));
            if (roll < 0.10)
                rgb = 0xffffff;
            else if (roll < 0.16)
                rgb = 0x5fe0ff;
            else if (roll < 0.21)
                rgb = 0xff6fd0;
            else if (roll < 0.24)
                rgb = 0xffc870;
            // Each mirror inset a little so the dark grout between them shows.
            const double inset = 0.12;
            const double a0 = lat0 + (lat1 - lat0) * inset, a1 = lat1 - (lat1 - lat0) * inset;
            const double o0 = lon0 + (lon1 - lon0) * inset, o1 = lon1 - (lon1 - lon0) * inset;
            double px, py, pz;
            project(a0, o0, px, py, pz);
            cairo_move_to(cr, px, py);
            project(a1, o0, px, py, pz);
            cairo_line_to(cr, px, py);
            project(a1, o1, px, py, pz);
            cairo_line_to(cr, px, py);
            project(a0, o1, px, py, pz);
            cairo_line_to(cr, px, py);
            cairo_close_path(cr);
            c.setColor(rgb, 0.35 + 0.65 * std::min(1.0, z * 1.6));
            cairo_fill(cr);
        }
    // A rim of reflected colour on the shadow side rounds it off.
    cairo_pattern_t* rim = cairo_pattern_create_radial(bx, by, r * 0.72, bx, by, r);
    addStop(rim, 0, 0xff5fc8, 0.0);
    addStop(rim, 1, 0xff5fc8, 0.45);
    cairo_set_source(cr, rim);
    cairo_paint(cr);
    cairo_pattern_destroy(rim);
    cairo_restore(cr);
    sparkle(c, bx - 16, by - 18, 14, 0xffffff, 0.95);
    sparkle(c, bx + 20, by + 10, 6, 0xbfe8ff, 0.8);

    // Spots of light thrown around the room by the mirrors, thinning out with distance.
    Lcg spots(78);
    for (int i = 0; i < 48; ++i) {
        const double x = 6 + spots.unit() * (w - 12);
        const double y = 8 + spots.unit() * (h - 16);
        if (std::hypot(x - bx, y - by) < r + 12) continue;
        const std::uint32_t rgb = i % 4 == 0 ? 0xff5fc8 : i % 4 == 1 ? 0x39d5ff : i % 4 == 2 ? 0xffc870 : 0xdfe6ff;
        const double size = 1.0 + spots.unit() * 2.2;
        if (i % 9 == 0)
            sparkle(c, x, y, 3 + size * 2, rgb, 0.75);
        else {
            AddLight add(cr);
            radialGlow(c, x, y, size * 3.2, rgb, 0.45);
            c.setColor(rgb, 0.55);
            cairo_arc(cr, x, y, size * 0.6, 0, 2 * pi);
            cairo_fill(cr);
        }
    }
}

void Pictures::icon(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width();
    // A square tile of night sky: it reads on light and dark desktops alike.
    linearSky(c, w, 0x060b1e, 0x141a4a, 0x3a1d5c);
    stars(c, 5, 40, w * 0.6);
    radialGlow(c, w / 2, w * 0.78, w * 0.6, 0xd0487a, 0.6);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, w * 0.72);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, "t", &ext);
    const double tx = w / 2 - (ext.width / 2 + ext.x_bearing);
    const double ty = w / 2 - (ext.height / 2 + ext.y_bearing);
    for (int pass = 4; pass >= 1; --pass) {
        c.setColor(0x39d5ff, 0.10);
        cairo_move_to(cr, tx, ty);
        cairo_text_path(cr, "t");
        cairo_set_line_width(cr, pass * w * 0.02);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    }
    c.setColor(0xe8f8ff);
    cairo_move_to(cr, tx, ty);
    cairo_show_text(cr, "t");
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
        {"Part4/background.pcx", 600, 300, Pictures::starHorizon},
        {"Part5/background.pcx", 600, 300, Pictures::waveBackdrop},
        // Undithered, so no key pixel is ever scattered inside the figure.
        {"Part5/gubbe.pcx", 200, 240, Pictures::nightOwl, 0.0f, {0x04FC04}},
        {"Part6/background.pcx", 600, 300, Pictures::warpFrame},
        {"Part6/logo.pcx", 600, 45, Pictures::logoStrip, 0.3f, {0x000000}},
        {"Part7/background.pcx", 600, 300, Pictures::stage},
        {"Part7/disco.pcx", 220, 300, Pictures::mirrorBall, 0.3f, {0x000000}},
        {"Part8/background.pcx", 600, 300, Pictures::sidePanel},
        {"Part9/background.pcx", 600, 300, Pictures::closing},
    };
    return all;
}
