// The text over the picture at every size: inside the picture, no block over another, lines
// shortened only between words, and the display whole from a 200 × 100 window up.

#include "platform/KeyTable.h"
#include "platform/OverlayLayout.h"
#include "platform/Pointer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

Overlay displayed() {
    Overlay o;
    o.corner = {"order 33 · row 5   4:13 / 4:44", "tunnels and cones", "60 fps  paused  looping  volume 70 %"};
    o.message = {"order 33 · row 5   4:13 / 4:44", "the wave warp"};
    o.progress = 0.4;
    o.marks = {0.0, 0.5};
    return o;
}

std::string sizeOf(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }

} // namespace

TEST(OverlayLayout, FitsThePictureAtEverySizeAndNothingCoversAnything) {
    Overlay help = displayed();
    help.panel = KeyTable::lines();
    Overlay banner = displayed();
    banner.banner = {"Part8/texture.tex.txt:12: a long message about what went wrong in the source, said whole"};
    for (const auto& [width, height] : {std::pair{200, 100}, std::pair{300, 150}, std::pair{600, 300}, std::pair{1280, 640}}) {
        for (const Overlay& overlay : {displayed(), help, banner}) {
            const OverlayLayout l = OverlayLayout::of(overlay, width, height);
            const std::string at = sizeOf(width, height);
            std::vector<const OverlayLayout::Block*> shown;
            for (const auto* b : {&l.corner, &l.message, &l.panel, &l.banner}) {
                if (b->lines.empty()) continue;
                shown.push_back(b);
                EXPECT_GE(b->font, OverlayLayout::leastFont) << at;
                EXPECT_TRUE(b->x >= 0 && b->y >= 0 && b->x + b->width <= width && b->y + b->height <= height - 2 * l.bar)
                    << at << ": " << b->lines[0] << " at " << b->x << ',' << b->y << ' ' << b->width << 'x' << b->height;
            }
            for (std::size_t i = 0; i < shown.size(); ++i)
                for (std::size_t j = i + 1; j < shown.size(); ++j) {
                    const auto &a = *shown[i], &b = *shown[j];
                    const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y ||
                                       b.y + b.height <= a.y;
                    EXPECT_TRUE(apart) << at << ": \"" << a.lines[0] << "\" and \"" << b.lines[0] << "\" overlap";
                }
            // A line is whole, or its first words and "…".
            for (const auto* b : shown)
                for (const std::string& line : b->lines) {
                    if (!line.ends_with(" …")) continue;
                    const std::string words = line.substr(0, line.size() - std::string(" …").size());
                    bool fromAnOriginal = false;
                    for (const auto* all : {&overlay.corner, &overlay.message, &overlay.panel, &overlay.banner})
                        for (const std::string& original : *all)
                            fromAnOriginal = fromAnOriginal || (original.starts_with(words) && original[words.size()] == ' ');
                    EXPECT_TRUE(fromAnOriginal) << at << ": \"" << line << "\" is cut within a word";
                }
            // The display is whole at every size, as large as the picture allows.
            EXPECT_EQ(l.corner.lines, overlay.corner) << at;
            EXPECT_GT(l.bar, 0) << at;
        }
    }
    const OverlayLayout large = OverlayLayout::of(help, 1280, 640);
    EXPECT_EQ(large.panel.lines, help.panel) << "room for every key";
    EXPECT_EQ(large.corner.font, 22);
    EXPECT_EQ(OverlayLayout::of(displayed(), 200, 100).message.lines, displayed().message);
    // Where the message and the keys cannot both be, the keys asked for stay.
    const OverlayLayout small = OverlayLayout::of(help, 200, 100);
    EXPECT_GE(small.panel.lines.size(), 3u);
    EXPECT_TRUE(small.message.lines.empty());
}

TEST(Pointer, HidesAfterASecondOfStillnessAndFindsTheBar) {
    Pointer pointer;
    EXPECT_FALSE(pointer.visible(0.0)) << "hidden until it moves";
    pointer.moved(2.0);
    EXPECT_TRUE(pointer.visible(2.5));
    EXPECT_TRUE(pointer.visible(2.99));
    EXPECT_FALSE(pointer.visible(3.0));
    pointer.moved(3.2);
    EXPECT_TRUE(pointer.visible(3.3));

    // A 1280 × 640 picture between bars 40 rows high: the strip is its lowest eighth.
    const Pointer::Area picture{0, 40, 1280, 640};
    struct Case {
        int x, y;
        bool near;
    };
    for (const Case& c : {Case{640, 679, true}, Case{640, 600, true}, Case{640, 599, false}, Case{640, 680, false},
                          Case{0, 650, true}, Case{1280, 650, false}})
        EXPECT_EQ(Pointer::nearFoot(picture, c.x, c.y), c.near) << c.x << ',' << c.y;
    EXPECT_TRUE(Pointer::nearFoot({0, 0, 200, 100}, 100, 77)) << "a small picture's strip is 24 rows";
    EXPECT_DOUBLE_EQ(Pointer::share(picture, 640), 640.5 / 1280);
    EXPECT_DOUBLE_EQ(Pointer::share(picture, -5), 0.0);
    EXPECT_DOUBLE_EQ(Pointer::share(picture, 5000), 1.0);
}
