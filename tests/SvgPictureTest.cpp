// The show's pictures drawn from their SVG sources: every source at its size and the same on
// every run, a broken one named with its line, and the keyed figure's key only where it is
// transparent.

#include "ShowFrames.h"
#include "tools/Pictures.h"
#include "tools/SvgPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::filesystem::path sources = std::filesystem::path(TINDREL_SOURCE_DIR) / "assets";

} // namespace

TEST(SvgPictures, EverySourceDrawsAtItsSizeTheSameEveryTime) {
    std::vector<PictureAsset> all = showPictures();
    all.push_back(iconPicture());
    for (const PictureAsset& picture : all) {
        const auto first = renderPicture(picture, sources);
        ASSERT_EQ(first.size(), static_cast<std::size_t>(picture.width) * picture.height * 4) << picture.source;
        EXPECT_EQ(renderPicture(picture, sources), first) << picture.source << " differs from one render to the next";
        // A file librsvg reads without drawing anything (a wrong namespace, say) leaves one flat colour.
        bool drawn = false;
        for (std::size_t i = 4; i < first.size() && !drawn; i += 4) drawn = std::memcmp(&first[i], &first[0], 4) != 0;
        EXPECT_TRUE(drawn) << picture.source << " drew nothing";
    }
}

TEST(SvgPictures, ABrokenSourceIsNamedWithItsLine) {
    const auto dir = TestImages::scratch("svg-pictures");
    const struct {
        const char* source;
        const char* text;  // none: the file is missing
        const char* reported;
    } cases[] = {
        {"missing.svg", nullptr, "missing.svg: "},
        {"Part0/mismatched.svg",
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\">\n  <g>\n  </rect>\n</svg>\n",
         "Part0/mismatched.svg:3: "},
        {"unquoted.svg",
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\">\n  <rect/>\n\n  <rect width=4/>\n</svg>\n",
         "unquoted.svg:4: "},
        {"prose.svg", "not a picture\n", "prose.svg:1: "},
    };
    for (const auto& c : cases) {
        if (c.text) {
            std::filesystem::create_directories((dir / c.source).parent_path());
            std::ofstream(dir / c.source) << c.text;
        }
        try {
            renderPicture({"x.pcx", 4, 4, c.source}, dir);
            ADD_FAILURE() << c.source << " rendered";
        } catch (const std::runtime_error& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(c.reported, 0), 0u) << what;
            EXPECT_GT(what.size(), std::strlen(c.reported)) << "no reason given: " << what;
        }
    }
}

using KeyedFigure = ShowFrames;

TEST_F(KeyedFigure, KeepsItsKeyExactAndOutsideTheFigure) {
    // The cube wave leaves out exactly (4, 252, 4). A key pixel walled in by the figure would be a
    // hole in it; an edge blended toward the key would draw a green fringe.
    const auto figure = picture("Part5/gubbe.pcx");
    const int w = figure->width(), h = figure->height();
    auto isKey = [&](int x, int y) {
        const Color c = figure->at(x, y);
        return c.r == 4 && c.g == 252 && c.b == 4;
    };
    std::vector<std::uint8_t> reached(static_cast<std::size_t>(w) * h, 0);
    std::vector<std::pair<int, int>> todo;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h || reached[y * w + x] || !isKey(x, y)) return;
        reached[y * w + x] = 1;
        todo.emplace_back(x, y);
    };
    for (int x = 0; x < w; ++x) visit(x, 0), visit(x, h - 1);
    for (int y = 0; y < h; ++y) visit(0, y), visit(w - 1, y);
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        visit(x - 1, y), visit(x + 1, y), visit(x, y - 1), visit(x, y + 1);
    }
    int keyed = 0, figurePixels = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Color c = figure->at(x, y);
            if (isKey(x, y)) {
                ++keyed;
                ASSERT_TRUE(reached[y * w + x]) << "a key pixel inside the figure at " << x << ',' << y;
            } else {
                ++figurePixels;
                ASSERT_FALSE(c.g > c.r + 48 && c.g > c.b + 48)
                    << "a greenish pixel (" << int(c.r) << ',' << int(c.g) << ',' << int(c.b) << ") at " << x << ',' << y;
            }
        }
    EXPECT_GT(keyed, w * h / 3) << "the key colour did not survive the palette";
    EXPECT_GT(figurePixels, w * h / 5) << "no figure";
}
