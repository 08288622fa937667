#include "KernelCases.h"
#include "TestImages.h"
#include "engine3d/Renderer3D.h"
#include "engine3d/Renderer3DKernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// The rasteriser alone: triangles are queued by hand.
class Canvas3D : public Renderer3D {
public:
    using Renderer3D::Renderer3D;
    void draw(float) override {}
};

// Owns projected points and triangles at stable addresses, as a mesh does.
struct Triangles {
    Triangle& add(Vector3 a, Vector3 b, Vector3 c, Color shade) {
        points.insert(points.end(), {a, b, c});
        Triangle& t = triangles.emplace_back();
        const auto n = points.size();
        t.viewVertex = {&points[n - 3], &points[n - 2], &points[n - 1]};
        t.shade = shade;
        return t;
    }
    std::deque<Vector3> points;
    std::deque<Triangle> triangles;
};

const Color red(200, 0, 0, 255);
const Color blue(0, 0, 200, 255);
const Color white(255, 255, 255, 255);

// One character a pixel: '.' empty (all zero), '#' red, 'B' blue, 'W' white, '?' anything else.
std::string picture(const Image& img) {
    std::string s;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const Color c = img.at(x, y);
            s += c == Color() ? '.' : c == red ? '#' : c == blue ? 'B' : c == white ? 'W' : '?';
        }
        s += '\n';
    }
    return s;
}

std::string rows(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* l : lines) s += std::string(l) + '\n';
    return s;
}

} // namespace

TEST(Renderer3D, SpansClipAndExcludeTheirRightEnd) {
    struct Case {
        const char* what;
        int x0, x1, y;
        int first, end;  // columns written: [first, end)
        float firstDepth;
    };
    // Depth 10 at x0 and 10 + (x1 − x0) at x1: one unit a column.
    const Case cases[] = {
        {"equal ends draw nothing", 5, 5, 1, 0, 0, 0},
        {"right end excluded", 2, 6, 1, 2, 6, 10},
        {"ends exchanged with their depths", 6, 2, 1, 2, 6, 6},
        {"past the right side", 590, 700, 1, 590, 600, 10},
        {"past the left side: depth at column 0", -10, 5, 1, 0, 5, 20},
        {"left end at the width", 600, 610, 1, 0, 0, 0},
        {"wholly left", -20, -3, 1, 0, 0, 0},
        {"row below", 2, 6, 3, 0, 0, 0},
        {"row above", 2, 6, -1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas3D r(600, 3);
        r.clear();
        r.drawSpan(c.x0, c.x1, 10.0f, 10.0f + float(c.x1 - c.x0), c.y, red);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 600; ++x) {
                const bool in = y == c.y && x >= c.first && x < c.end;
                ASSERT_EQ(r.image().at(x, y), in ? red : Color()) << x << "," << y;
                if (!in) {
                    ASSERT_EQ(r.depthAt(x, y), Renderer3D::emptyDepth);
                }
            }
        }
        if (c.end > c.first) {
            EXPECT_FLOAT_EQ(r.depthAt(c.first, 1), c.firstDepth);
            EXPECT_FLOAT_EQ(r.depthAt(c.first + 1, 1), c.firstDepth + 1);
        }
    }
}

TEST(Renderer3D, SpansWriteOnlyWhereStrictlyNearer) {
    Canvas3D r(4, 1);
    r.clear();
    r.drawSpan(0, 4, 5, 5, 0, red);
    r.drawSpan(0, 2, 5, 5, 0, blue);  // equal depth: kept
    r.drawSpan(2, 4, 4, 4, 0, blue);  // nearer: replaced
    EXPECT_EQ(picture(r.image()), "##BB\n");
    EXPECT_EQ(r.depthAt(3, 0), 4.0f);
}

TEST(Renderer3D, TrianglesFollowTheTruncatedEdgeWalk) {
    struct Case {
        const char* what;
        Vector3 a, b, c;
        std::string want;
    };
    // Worked by hand: rows from the truncated top row to the row before the truncated bottom,
    // columns from xa >> 16 to the one before xb >> 16, no sub-pixel correction.
    const Case cases[] = {
        {"one row", {0, 2.2f, 1}, {4, 2.9f, 1}, {2, 2.5f, 1}, rows({".....", ".....", ".....", ".....", "....."})},
        {"flat bottom", {0, 0, 1}, {0, 4, 1}, {4, 4, 1}, rows({".....", "#....", "##...", "###..", "....."})},
        {"both halves", {0, 2, 1}, {2, 0, 1}, {4, 4, 1}, rows({".....", ".#...", "###..", "..#..", "....."})},
        {"flat top", {0, 1, 1}, {4, 1, 1}, {4, 4, 1}, rows({".....", "####.", ".###.", "..##.", "....."})},
        {"wider than the image", {-40, 1, 1}, {45, 1, 1}, {2, 40, 1}, rows({".....", "#####", "#####", "#####", "#####"})},
    };
    for (const Case& c : cases) {
        Canvas3D r(5, 5);
        Triangles t;
        r.queue(t.add(c.a, c.b, c.c, red));
        r.flush();
        EXPECT_EQ(picture(r.image()), c.want) << c.what;
    }
}

TEST(Renderer3D, SkipsTrianglesBeyondTheFixedPointRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Vector3 cases[] = {{nan, 1, 1}, {1, nan, 1}, {1, 1, nan}, {inf, 1, 1}, {1, -inf, 1}, {40000, 1, 1}, {1, -32768, 1}};
    for (const Vector3& far : cases) {
        Canvas3D r(8, 8);
        Triangles t;
        r.queue(t.add({0, 0, 1}, {8, 0, 1}, far, red));
        r.flush();
        EXPECT_EQ(picture(r.image()), picture(Canvas3D(8, 8).image())) << far.x << " " << far.y << " " << far.z;
    }
    // Up to ±32767 is drawn, clipped to the image.
    Canvas3D r(8, 8);
    Triangles t;
    r.queue(t.add({-32767, -32767, 1}, {32767, -32767, 1}, {0, 32767, 1}, red));
    r.flush();
    EXPECT_EQ(picture(r.image()).find('.'), std::string::npos);
}

TEST(Renderer3D, FirstQueuedWinsAtEqualDepth) {
    Canvas3D r(6, 6);
    Triangles t;
    r.queue(t.add({0, 0, 2}, {6, 0, 2}, {0, 6, 2}, red));
    r.queue(t.add({0, 0, 2}, {6, 0, 2}, {0, 6, 2}, blue));
    r.queue(t.add({3, 3, 1}, {6, 3, 1}, {6, 6, 1}, blue));  // nearer, though queued last
    r.flush();
    EXPECT_EQ(picture(r.image()), rows({"######", "#####.", "####..", "###BBB", "##..BB", "#....B"}));
}

TEST(Renderer3D, FlushClearsAndEmptiesTheQueue) {
    Canvas3D r(6, 4);
    Triangles t;
    r.queue(t.add({0, 0, 1}, {6, 0, 1}, {0, 4, 1}, red));
    r.flush();
    ASSERT_NE(picture(r.image()), picture(Canvas3D(6, 4).image()));
    EXPECT_EQ(r.queuedCount(), 0);
    r.flush();
    for (Color c : TestImages::pixelsOf(r.image())) EXPECT_EQ(c, Color(0, 0, 0, 0));
    for (float d : r.depth()) EXPECT_EQ(d, std::numeric_limits<float>::max());
}

TEST(Renderer3D, QueueGrowsInStepsOf512) {
    Canvas3D r(4, 4);
    Triangles t;
    EXPECT_EQ(r.queueCapacity(), 512);
    for (int i = 0; i < 512; ++i) r.queue(t.add({0, 0, 1}, {1, 0, 1}, {0, 1, 1}, red));
    EXPECT_EQ(r.queueCapacity(), 512);
    r.queue(t.add({0, 0, 1}, {1, 0, 1}, {0, 1, 1}, red));
    EXPECT_EQ(r.queueCapacity(), 1024);
    ASSERT_EQ(r.queuedCount(), 513);
    for (int i = 0; i < 513; ++i) ASSERT_EQ(&r.queuedAt(i), &t.triangles[static_cast<std::size_t>(i)]);
    r.flush();
    EXPECT_EQ(r.queuedCount(), 0);
    EXPECT_EQ(r.queueCapacity(), 1024);  // kept for the next frame
}

TEST(Renderer3D, OutlinesDepthJumpsWithBands) {
    struct Case {
        const char* what;
        int w, h, x0, x1, y0, y1;  // a block of depth 1 over columns [x0, x1), rows [y0, y1)
        std::string want;
    };
    const Case cases[] = {
        // Every tested pixel whose depth differs from the one above or to its left by more
        // than 400 whitens itself and its two neighbours along that direction.
        {"a block on the empty background", 12, 10, 4, 8, 3, 7,
         rows({"............", "............", "....WWWW....", "...WWWWWWW..", "...WWWWWWW..",
               "...WWW#WWW..", "...WWWWWWW..", "....WWWW....", "....WWWW....", "............"})},
        // The outer rows and columns are never tested but get whitened as neighbours; the
        // jumps onto them at the right and bottom are never seen.
        {"a block against the border", 5, 5, 1, 4, 1, 4, rows({".WWW.", "WWWW.", "WWWW.", "WWW#.", "....."})},
    };
    for (const Case& c : cases) {
        Canvas3D r(c.w, c.h);
        r.clear();
        for (int y = c.y0; y < c.y1; ++y) r.drawSpan(c.x0, c.x1, 1, 1, y, red);
        r.outline();
        EXPECT_EQ(picture(r.image()), c.want) << c.what;
    }

    // Between two surfaces only a step of more than 400 counts.
    Canvas3D r(6, 3);
    r.clear();
    for (int y = 0; y < 3; ++y) {
        r.drawSpan(0, 2, 100, 100, y, red);
        r.drawSpan(2, 4, 500, 500, y, red);   // 400 further: no line
        r.drawSpan(4, 6, 900.5f, 900.5f, y, blue);  // 400.5 further: a line
    }
    r.outline();
    EXPECT_EQ(picture(r.image()), rows({"####BB", "###WWW", "####BB"}));
}

TEST(Renderer3D, OutlineMatchesTheDirectRuleOnRandomDepths) {
    // outline() finds jumps and paints in separate passes; the rule it must match visits each
    // tested pixel and paints at once. Case n draws its own sizes and depths from a seed of n,
    // biased toward steps just either side of the threshold and toward the empty depth.
    const float depths[] = {1.0f, 2.0f, 401.0f, 401.5f, 801.5f, -400.0f, 1e30f, Renderer3D::emptyDepth};
    for (std::uint32_t n = 0; n < 300; ++n) {
        std::uint32_t state = n * 2654435761u + 1;
        auto next = [&state](std::uint32_t bound) {
            state = state * 1664525u + 1013904223u;
            return (state >> 8) % bound;
        };
        const int w = 1 + static_cast<int>(next(24)), h = 1 + static_cast<int>(next(16));
        Canvas3D r(w, h);
        r.clear();
        // Every other case draws only inside a box, anywhere from one pixel to the whole
        // image, so the outline must find the jumps onto the empty depth around it.
        const bool boxed = n % 2 == 1;
        const int left = boxed ? static_cast<int>(next(static_cast<std::uint32_t>(w))) : 0;
        const int top = boxed ? static_cast<int>(next(static_cast<std::uint32_t>(h))) : 0;
        const int right = boxed ? left + static_cast<int>(next(static_cast<std::uint32_t>(w - left))) : w - 1;
        const int bottom = boxed ? top + static_cast<int>(next(static_cast<std::uint32_t>(h - top))) : h - 1;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) {
                const float z = depths[next(8)];
                if (z != Renderer3D::emptyDepth) r.drawSpan(x, x + 1, z, z, y, Color(int(next(256)), 7, 9, 255));
            }
        std::vector<Color> want = TestImages::pixelsOf(r.image());
        auto paint = [&](int x, int y) { want[static_cast<std::size_t>(y * w + x)] = white; };
        for (int y = 1; y < h - 1; ++y)
            for (int x = 1; x < w - 1; ++x) {
                if (std::fabs(r.depthAt(x, y) - r.depthAt(x, y - 1)) > 400) paint(x, y), paint(x, y - 1), paint(x, y + 1);
                if (std::fabs(r.depthAt(x, y) - r.depthAt(x - 1, y)) > 400) paint(x, y), paint(x - 1, y), paint(x + 1, y);
            }
        r.outline();
        ASSERT_EQ(TestImages::pixelsOf(r.image()), want) << "case " << n << ": " << w << " x " << h;
    }
}

TEST(Renderer3D, KernelsMatchThePlainLoops) {
    using Kernels = Renderer3DKernels;
    using KernelCases::Random;
    // Depths either side of the outline threshold apart, the empty depth, and values that
    // compare false with everything.
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const float depths[] = {1.0f, 2.0f, 401.0f, 401.5f, 801.5f, -400.0f, 1e30f, Renderer3D::emptyDepth, inf, nan};
    auto randomDepths = [depths](Random& r, std::size_t count) {
        std::vector<float> d(count);
        for (float& z : d) z = r.below(2) == 0 ? r.pick(depths) : static_cast<float>(r.between(-900, 900)) / 4.0f;
        return d;
    };
    auto randomPixels = [](Random& r, std::size_t count) {
        std::vector<Color> px(count);
        for (Color& c : px) c = r.color();
        return px;
    };
    auto bytesOf = [](const std::vector<float>& depth, const std::vector<Color>& pixels) {
        std::vector<std::uint8_t> bytes = KernelCases::bytesOf(depth.data(), depth.size());
        const std::vector<std::uint8_t> colours = KernelCases::bytesOf(pixels.data(), pixels.size());
        bytes.insert(bytes.end(), colours.begin(), colours.end());
        return bytes;
    };
    struct Case {
        const char* what;
        std::function<std::vector<std::uint8_t>(const Kernels&, Random&, int)> run;
    };
    const Case cases[] = {
        // Spans of every length from any start, stepping up, down, flat or by NaN; the pixels
        // past either end must come out as they went in.
        {"span", [&](const Kernels& k, Random& r, int n) {
             const int count = r.between(0, 1 + n / 4), offset = r.below(8);
             const auto size = static_cast<std::size_t>(count + offset + 8);
             std::vector<float> depth = randomDepths(r, size);
             std::vector<Color> pixels = randomPixels(r, size);
             const float steps[] = {0.0f, 0.25f, -0.25f, 1.0f, -37.5f, 400.0f, nan};
             const float z = r.below(2) == 0 ? r.pick(depths) : static_cast<float>(r.between(-900, 900)) / 4.0f;
             k.span(depth.data() + offset, pixels.data() + offset, count, z, r.pick(steps), r.color());
             return bytesOf(depth, pixels);
         }},
        // Any rows and any columns of the interior, past a few vectors wide.
        {"outline", [&](const Kernels& k, Random& r, int n) {
             const int w = r.between(3, 3 + n / 4), h = r.between(3, 3 + n / 10);
             const auto width = static_cast<std::size_t>(w);
             const std::vector<float> depth = randomDepths(r, width * static_cast<std::size_t>(h));
             std::vector<Color> pixels = randomPixels(r, depth.size());
             auto columns = [&r](int from, int to) {
                 const int first = r.between(from, to);
                 return std::pair{static_cast<std::size_t>(first), static_cast<std::size_t>(r.between(first, to))};
             };
             Kernels::OutlineRange range{};
             range.top = r.between(0, h);
             range.bottom = r.between(range.top, h);
             std::tie(range.upFrom, range.upTo) = columns(1, w - 1);
             std::tie(range.leftFrom, range.leftTo) = columns(1, w - 1);
             std::tie(range.paintFrom, range.paintTo) = columns(0, w);
             std::vector<std::uint32_t> jumps(4 * (width + 2), 1u);
             k.outline(depth.data(), pixels.data(), width, h, jumps.data(), range);
             return bytesOf(depth, pixels);
         }},
    };
    for (const Case& c : cases) KernelCases::expectSetsMatchPlain<Kernels>(c.what, c.run);
}
