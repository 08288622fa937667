// Gentle flashes: wherever the full show whitens the whole frame (the flashes, the strobe, the
// glowing band's white fade and the scroller's wrapped fade), the gentle frame is nowhere
// brighter, and no brighter than the switch promises: two fifths of white.
#include "BuildData.h"
#include "app/OfflineRender.h"
#include "show/Scene.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>

namespace {

double brightness(const Image& frame) {
    double sum = 0.0;
    for (std::size_t i = 0; i < frame.pixelCount(); ++i) {
        const Color c = frame.pixels()[i];
        sum += 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
    }
    return sum / static_cast<double>(frame.pixelCount());
}

std::unique_ptr<Image> still(int order, int row, bool gentle) {
    ShowPlan show = buildShow();
    show.viewing.gentle = gentle;
    return OfflineRender::still(show, order, row, 0.0);
}

} // namespace

TEST(GentleFlashes, KeepEveryWhiteFrameWellShortOfWhite) {
    struct Case {
        int order, row;
    };
    const Case whiteFrames[] = {{2, 0}, {4, 0}, {7, 32}, {7, 56}, {10, 20}, {11, 0}, {15, 0},
                                {19, 0}, {22, 63}, {23, 0}, {32, 0}, {36, 0}};
    for (const auto [order, row] : whiteFrames) {
        const auto full = still(order, row, false);
        const auto gentle = still(order, row, true);
        ASSERT_TRUE(full && gentle) << order << ":" << row;
        EXPECT_GT(brightness(*full), 240.0) << order << ":" << row;
        EXPECT_LE(brightness(*gentle), 0.4 * 255.0 + 1.0) << order << ":" << row;
        for (std::size_t i = 0; i < full->pixelCount(); ++i) {
            const Color f = full->pixels()[i], g = gentle->pixels()[i];
            ASSERT_TRUE(g.r <= f.r && g.g <= f.g && g.b <= f.b) << order << ":" << row << " pixel " << i;
        }
    }
}
