#pragma once

#include "BuildData.h"
#include "TestImages.h"
#include "app/OfflineRender.h"

#include <gtest/gtest.h>

// For tests of whole scenes: the build's data, and the frame the show presents at a position.
class ShowFrames : public ::testing::Test {
protected:
    static std::unique_ptr<Image> frame(int order, int row, double seconds = 1.25) {
        return frame(buildShow(), order, row, seconds);
    }
    static std::unique_ptr<Image> frame(const ShowPlan& show, int order, int row, double seconds = 1.25) {
        auto f = OfflineRender::still(show, order, row, seconds);
        EXPECT_TRUE(f) << "no frame at " << order << ':' << row;
        return f ? std::move(f) : std::make_unique<Image>(600, 300);
    }
    static std::unique_ptr<Image> picture(const char* name) { return Image::load(buildData(), name); }

    static void expectAll(const Image& img, Color c, const char* what) {
        for (std::size_t i = 0; i < img.pixelCount(); ++i) ASSERT_EQ(img.pixels()[i], c) << what << ", pixel " << i;
    }
    // The pixels of a rectangle of img against the same rectangle of want.
    static void expectRegion(const Image& img, const Image& want, int x0, int y0, int x1, int y1, const char* what) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) ASSERT_EQ(img.at(x, y), want.at(x, y)) << what << " at " << x << ',' << y;
    }
    static std::unique_ptr<Image> faded(const Image& img, Color target, float fraction) {
        auto copy = std::make_unique<Image>(img.width(), img.height());
        copy->blit(0, 0, img);
        copy->fadeTo(target, fraction);
        return copy;
    }
};

inline constexpr Color white(255, 255, 255, 0);
