#include "tools/ShowObjects.h"

#include "tools/LwobWriter.h"

#include <array>
#include <cmath>
#include <map>
#include <numbers>

namespace {

struct V {
    double x = 0, y = 0, z = 0;
    V operator+(V o) const { return {x + o.x, y + o.y, z + o.z}; }
    V operator-(V o) const { return {x - o.x, y - o.y, z - o.z}; }
    V operator*(double s) const { return {x * s, y * s, z * s}; }
};
double dot(V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V cross(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// The eye looks along +z with y pointing down the screen. A face whose outward normal points
// toward −z faces the eye.
constexpr V towardEye{0, 0, -1};
constexpr V awayFromEye{0, 0, 1};

// The show's accents (ART.md): bright on the dark backdrops, and still readable once the views
// scale them down for faces turned away from the light.
const LwobWriter::Surface cyan{"Cyan", 0, 220, 255};
const LwobWriter::Surface magenta{"Magenta", 255, 40, 190};
const LwobWriter::Surface amber{"Amber", 255, 160, 20};
const LwobWriter::Surface gold{"Gold", 255, 215, 90};
const LwobWriter::Surface indigo{"Indigo", 100, 80, 255};
const LwobWriter::Surface teal{"Teal", 0, 190, 160};
const LwobWriter::Surface ice{"Ice", 200, 235, 255};
// Deep accents for objects that fill much of the frame while they turn fast (the cube wave's
// wall of cubes, the tumbling cones): each face stays within a small step of light from the
// night behind it and from its neighbours, because a pattern of large light-dark swings several
// times a second over much of the frame is a photosensitivity risk.
const LwobWriter::Surface deepCyan{"DeepCyan", 0, 78, 104};
const LwobWriter::Surface deepMagenta{"DeepMagenta", 96, 20, 80};
const LwobWriter::Surface deepIndigo{"DeepIndigo", 46, 36, 124};

class Builder {
public:
    int surface(const LwobWriter::Surface& s) {
        for (std::size_t i = 0; i < object.surfaces.size(); ++i)
            if (object.surfaces[i].name == s.name) return static_cast<int>(i);
        object.surfaces.push_back(s);
        return static_cast<int>(object.surfaces.size() - 1);
    }

    // Points are shared between faces that meet there, so a deformation that moves points by
    // their position never opens a crack.
    int point(V p) {
        const std::array<float, 3> key{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
        const auto [it, added] = pointIndex.emplace(key, static_cast<int>(object.points.size()));
        if (added) object.points.push_back(key);
        return it->second;
    }

    // Orders the points so that (q − p) × (r − p) points along outward: the views then light
    // the face when it turns toward the eye.
    void triangle(V p, V q, V r, const LwobWriter::Surface& s, V outward) {
        if (dot(cross(q - p, r - p), outward) < 0) std::swap(q, r);
        object.faces.push_back({{point(p), point(q), point(r)}, surface(s)});
    }
    // a, b, c, d around the quad's edge.
    void quad(V a, V b, V c, V d, const LwobWriter::Surface& s, V outward) {
        triangle(a, b, c, s, outward);
        triangle(a, c, d, s, outward);
    }
    // For convex pieces: outward is away from a point inside the piece.
    void triangleAround(V p, V q, V r, const LwobWriter::Surface& s, V inside) {
        triangle(p, q, r, s, (p + q + r) * (1.0 / 3.0) - inside);
    }

    LwobWriter::Object object;

private:
    std::map<std::array<float, 3>, int> pointIndex;
};

// A five-pointed star standing upright, extruded to a thin rim and raised on both sides to a
// centre apex, so every arm shows two facets that catch the light differently as it tumbles.
// About 2.4 units across: it fills most of its 300-row view at 3 units from the eye.
LwobWriter::Object star() {
    Builder b;
    constexpr int corners = 10;
    constexpr double outer = 1.2, inner = 0.48, rim = 0.12, apex = 0.42;
    std::array<V, corners> outline;
    for (int k = 0; k < corners; ++k) {
        const double angle = -std::numbers::pi / 2 + k * std::numbers::pi / 5;  // first tip straight up
        const double radius = k % 2 == 0 ? outer : inner;
        outline[static_cast<std::size_t>(k)] = {radius * std::cos(angle), radius * std::sin(angle), 0};
    }
    const V front{0, 0, -apex}, back{0, 0, apex};
    for (int k = 0; k < corners; ++k) {
        const V a = outline[static_cast<std::size_t>(k)];
        const V c = outline[static_cast<std::size_t>((k + 1) % corners)];
        const V af = a + V{0, 0, -rim}, cf = c + V{0, 0, -rim};
        const V ab = a + V{0, 0, rim}, cb = c + V{0, 0, rim};
        // Neighbouring facets share a ridge; alternating surfaces make each ridge a colour edge.
        b.triangle(front, af, cf, k % 2 == 0 ? gold : amber, towardEye);
        b.triangle(back, ab, cb, k % 2 == 0 ? cyan : indigo, awayFromEye);
        // The outline runs with increasing angle, so (dy, −dx) points out of the star.
        b.quad(af, cf, cb, ab, magenta, {c.y - a.y, a.x - c.x, 0});
    }
    return b.object;
}

// An arrow pointing left (toward the star in its scene): a flat double pyramid for the head and
// a square shaft running into it. 1.4 units long and set a little left of the origin, so that
// in a 170 × 200 view placed at (−0.2, 0, 0) it rocks clear of both sides.
LwobWriter::Object arrow() {
    Builder b;
    const V tip{-0.86, 0, 0}, top{-0.32, -0.42, 0}, bottom{-0.32, 0.42, 0};
    const V front{-0.48, 0, -0.2}, back{-0.48, 0, 0.2};
    const V head = (tip + top + bottom) * (1.0 / 3.0);
    b.triangleAround(tip, top, front, cyan, head);
    b.triangleAround(bottom, tip, front, teal, head);
    b.triangleAround(top, bottom, front, indigo, head);
    b.triangleAround(tip, top, back, teal, head);
    b.triangleAround(bottom, tip, back, cyan, head);
    b.triangleAround(top, bottom, back, indigo, head);

    constexpr double x0 = -0.42, x1 = 0.54, h = 0.14, d = 0.12;
    auto p = [&](int i, int j, int k) { return V{i ? x1 : x0, j ? h : -h, k ? d : -d}; };
    b.quad(p(0, 0, 0), p(1, 0, 0), p(1, 1, 0), p(0, 1, 0), magenta, towardEye);
    b.quad(p(0, 0, 1), p(1, 0, 1), p(1, 1, 1), p(0, 1, 1), magenta, awayFromEye);
    // The shaft's top and bottom are mostly seen edge-on, dimmed to a fraction of their colour:
    // cyan dims to the backdrops' dark teal, where a warm accent would dim to brown.
    b.quad(p(0, 0, 0), p(1, 0, 0), p(1, 0, 1), p(0, 0, 1), cyan, {0, -1, 0});
    b.quad(p(0, 1, 0), p(1, 1, 0), p(1, 1, 1), p(0, 1, 1), cyan, {0, 1, 0});
    b.quad(p(1, 0, 0), p(1, 1, 0), p(1, 1, 1), p(1, 0, 1), indigo, {1, 0, 0});
    b.quad(p(0, 0, 0), p(0, 1, 0), p(0, 1, 1), p(0, 0, 1), indigo, {-1, 0, 0});
    return b.object;
}

// A cube of side 2·half with each face cut into n × n tiles. Opposite faces share an accent so
// that neighbouring faces always differ. No amber: a face turned from the light is scaled
// toward black, and amber scaled down is brown, outside the show's palette.
LwobWriter::Object cube(double half, int n, const std::array<const LwobWriter::Surface*, 3>& accents) {
    Builder b;
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = -1; side <= 1; side += 2) {
            // (u, v) runs across the face; the face's own axis stays at ±half.
            auto at = [&](double u, double v) {
                std::array<double, 3> c{};
                c[static_cast<std::size_t>(axis)] = side * half;
                c[static_cast<std::size_t>((axis + 1) % 3)] = u;
                c[static_cast<std::size_t>((axis + 2) % 3)] = v;
                return V{c[0], c[1], c[2]};
            };
            std::array<double, 3> o{};
            o[static_cast<std::size_t>(axis)] = side;
            const V outward{o[0], o[1], o[2]};
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j < n; ++j) {
                    const double u0 = -half + 2 * half * i / n, u1 = -half + 2 * half * (i + 1) / n;
                    const double v0 = -half + 2 * half * j / n, v1 = -half + 2 * half * (j + 1) / n;
                    b.quad(at(u0, v0), at(u1, v0), at(u1, v1), at(u0, v1), *accents[static_cast<std::size_t>(axis)], outward);
                }
            }
        }
    }
    return b.object;
}

// A cube of side 2·half with its edges and corners bevelled by `bevel`: six large faces, each one
// surface (opposite faces share one), joined by narrow strips and corner triangles of `edge`. Each
// face spans just its four corners, so the wobble skews and folds it as a whole, as a block,
// instead of bending tiles into cloth, and the light strips keep the twelve edges marked.
LwobWriter::Object bevelledCube(double half, double bevel, const std::array<const LwobWriter::Surface*, 3>& faces,
                                const LwobWriter::Surface& edge) {
    Builder b;
    const double in = half - bevel;
    // The point on the face across `axis` (at ±half) near the corner (sx, sy, sz).
    auto at = [&](int axis, std::array<int, 3> s) {
        std::array<double, 3> c{};
        for (std::size_t k = 0; k < 3; ++k) c[k] = s[k] * (static_cast<int>(k) == axis ? half : in);
        return V{c[0], c[1], c[2]};
    };
    for (int axis = 0; axis < 3; ++axis) {
        const auto u = static_cast<std::size_t>((axis + 1) % 3), v = static_cast<std::size_t>((axis + 2) % 3);
        for (int side = -1; side <= 1; side += 2) {
            std::array<double, 3> o{};
            o[static_cast<std::size_t>(axis)] = side;
            // The face's four corners in turn around it.
            std::array<V, 4> corner;
            const std::array<std::array<int, 2>, 4> turn{{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}};
            for (std::size_t k = 0; k < 4; ++k) {
                std::array<int, 3> s{};
                s[static_cast<std::size_t>(axis)] = side;
                s[u] = turn[k][0];
                s[v] = turn[k][1];
                corner[k] = at(axis, s);
            }
            b.quad(corner[0], corner[1], corner[2], corner[3], *faces[static_cast<std::size_t>(axis)], {o[0], o[1], o[2]});
        }
        // The four strips along the edges that run parallel to this axis: each joins the faces
        // across the other two axes.
        for (int su = -1; su <= 1; su += 2)
            for (int sv = -1; sv <= 1; sv += 2) {
                std::array<int, 3> lo{}, hi{};
                lo[static_cast<std::size_t>(axis)] = -1;
                hi[static_cast<std::size_t>(axis)] = 1;
                lo[u] = hi[u] = su;
                lo[v] = hi[v] = sv;
                std::array<double, 3> o{};
                o[u] = su;
                o[v] = sv;
                b.quad(at(static_cast<int>(u), lo), at(static_cast<int>(u), hi), at(static_cast<int>(v), hi),
                       at(static_cast<int>(v), lo), edge, {o[0], o[1], o[2]});
            }
    }
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sy = -1; sy <= 1; sy += 2)
            for (int sz = -1; sz <= 1; sz += 2) {
                const std::array<int, 3> s{sx, sy, sz};
                b.triangle(at(0, s), at(1, s), at(2, s), edge, {double(sx), double(sy), double(sz)});
            }
    return b.object;
}

// Turns every point about x by a, then about y by b (the same sense as the views' matrix).
void tilt(LwobWriter::Object& object, double a, double b) {
    for (auto& p : object.points) {
        const double x = p[0], y = p[1], z = p[2];
        const double y1 = y * std::cos(a) - z * std::sin(a);
        const double z1 = y * std::sin(a) + z * std::cos(a);
        const double x2 = x * std::cos(b) + z1 * std::sin(b);
        const double z2 = -x * std::sin(b) + z1 * std::cos(b);
        p = {static_cast<float>(x2), static_cast<float>(y1), static_cast<float>(z2)};
    }
}

// Six cones in a ring around a small hub, tips outward, each in one deep accent. Sides and hub
// are cut finely enough for the wobble to bend them. About 2.5 units across. Not striped, nor
// bright: stripes and bright faces turning past the eye as the ring tumbles flicker over the
// whole object several times a second.
LwobWriter::Object cones() {
    Builder b;
    const std::array<const LwobWriter::Surface*, 3> accents{&deepCyan, &deepMagenta, &deepIndigo};
    constexpr int count = 6, segments = 12, bands = 4;
    constexpr double baseDistance = 0.28, baseRadius = 0.22, tipDistance = 1.25;
    for (int k = 0; k < count; ++k) {
        const double phi = -std::numbers::pi / 2 + k * 2 * std::numbers::pi / count;
        const V axis{std::cos(phi), std::sin(phi), 0};
        const V across{-std::sin(phi), std::cos(phi), 0};
        const V depth{0, 0, 1};
        const V base = axis * baseDistance;
        const V tip = axis * tipDistance;
        const V inside = base + (tip - base) * 0.25;
        const auto& stripe = *accents[static_cast<std::size_t>(k % 3)];
        auto ring = [&](int band, int segment) {
            const double s = static_cast<double>(band) / bands;
            const double psi = 2 * std::numbers::pi * segment / segments;
            const double r = baseRadius * (1 - s);
            return base + (tip - base) * s + across * (r * std::cos(psi)) + depth * (r * std::sin(psi));
        };
        for (int m = 0; m < segments; ++m) {
            for (int band = 0; band < bands - 1; ++band)
                b.quad(ring(band, m), ring(band, m + 1), ring(band + 1, m + 1), ring(band + 1, m), stripe,
                       (ring(band, m) + ring(band + 1, m + 1)) * 0.5 - inside);
            b.triangleAround(ring(bands - 1, m), ring(bands - 1, m + 1), tip, stripe, inside);
            b.triangle(base, ring(0, m), ring(0, m + 1), indigo, axis * -1.0);
        }
    }
    // An octahedron hub hides where the bases meet.
    constexpr double hub = 0.34;
    const std::array<V, 6> h{V{hub, 0, 0}, V{-hub, 0, 0}, V{0, hub, 0}, V{0, -hub, 0}, V{0, 0, hub}, V{0, 0, -hub}};
    for (int sx = 0; sx < 2; ++sx)
        for (int sy = 2; sy < 4; ++sy)
            for (int sz = 4; sz < 6; ++sz)
                b.triangleAround(h[static_cast<std::size_t>(sx)], h[static_cast<std::size_t>(sy)],
                                 h[static_cast<std::size_t>(sz)], (sx + sy + sz) % 2 == 0 ? gold : teal, V{});
    return b.object;
}

} // namespace

std::vector<std::pair<std::string, LwobWriter::Object>> showObjectModels() {
    // The scene-7 cube never turns, so it is stored turned to show three faces; the wobble
    // skews and folds them.
    LwobWriter::Object wobbleCube = bevelledCube(0.5, 0.1, {&cyan, &magenta, &indigo}, ice);
    tilt(wobbleCube, 0.5, 0.79);
    return {
        {"Part4/star.lwo", star()},
        {"Part4/arrow.lwo", arrow()},
        // Side 0.6, the grid's spacing: neighbours touch, so the wave is a wall of cubes with no
        // empty gaps for the white outline to run around as they wobble.
        {"Part5/cube.lwo", cube(0.3, 1, {&deepCyan, &deepMagenta, &deepIndigo})},
        {"Part7/cube.lwo", std::move(wobbleCube)},
        {"Part7/cones.lwo", cones()},
    };
}

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> showObjects() {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> written;
    for (const auto& [name, object] : showObjectModels()) written.emplace_back(name, LwobWriter::write(object));
    return written;
}
