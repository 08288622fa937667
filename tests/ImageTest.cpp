#include "TestImages.h"
#include "raster/Image.h"

#include <gtest/gtest.h>

#include <functional>

using TestImages::make;
using TestImages::pixelsOf;

namespace {

// A source whose every pixel names its own position: red = x, green = y, alpha 9.
std::unique_ptr<Image> numbered(int w, int h) {
    auto img = std::make_unique<Image>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img->at(x, y) = Color(x + 1, y + 1, 50, 9);
    return img;
}

} // namespace

TEST(Image, NewImageIsZeroed) {
    Image img(3, 2);
    EXPECT_EQ(img.pixelCount(), 6u);
    for (Color c : pixelsOf(img)) EXPECT_EQ(c, Color());
}

TEST(Image, BlitClipsAgainstEveryEdge) {
    const Color o(200, 200, 200, 1);  // the destination's own pixels
    auto s = [](int x, int y) { return Color(x + 1, y + 1, 50, 9); };
    struct Case {
        const char* what;
        int dw, dh, sw, sh, x, y;
        std::vector<Color> want;
    };
    const std::vector<Case> cases = {
        {"negative corner cuts left and top", 2, 2, 4, 4, -1, -1, {s(1, 1), s(2, 1), s(1, 2), s(2, 2)}},
        {"past the right edge", 4, 1, 3, 1, 2, 0, {o, o, s(0, 0), s(1, 0)}},
        {"past the bottom edge", 1, 3, 1, 3, 0, 2, {o, o, s(0, 0)}},
        {"wholly right of the image", 4, 1, 2, 1, 5, 0, {o, o, o, o}},
        {"wholly above the image", 1, 2, 1, 10, 0, -10, {o, o}},
        {"just touching the left edge", 2, 1, 2, 1, -2, 0, {o, o}},
        {"inside", 3, 2, 1, 1, 1, 1, {o, o, o, o, s(0, 0), o}},
    };
    for (const Case& c : cases) {
        Image dst(c.dw, c.dh);
        for (Color& p : std::span(dst.pixels(), dst.pixelCount())) p = o;
        dst.blit(c.x, c.y, *numbered(c.sw, c.sh));
        EXPECT_EQ(pixelsOf(dst), c.want) << c.what;
    }
}

TEST(Image, ImagesWithoutPixelsAreLeftAlone) {
    Image empty(0, 5);
    Image src(2, 2);
    empty.blit(0, 0, src);
    empty.blitAdd(0, 0, src);
    empty.fadeTo(Color(255, 255, 255, 255), 0.5f);
    empty.blitWrapRows(0, 3, src);
    EXPECT_EQ(empty.pixelCount(), 0u);

    Image dst(2, 2);
    dst.blit(0, 0, Image(0, 0));
    dst.blitKeyed(1, 1, Image(3, 0), Color());
    for (Color c : pixelsOf(dst)) EXPECT_EQ(c, Color());
}

TEST(Image, KeyedBlitComparesColourNotAlpha) {
    auto src = make(3, 1, {Color(0, 0, 0, 0), Color(0, 0, 0, 200), Color(4, 252, 5, 7)});
    auto dst = make(3, 1, {Color(9, 9, 9, 1), Color(9, 9, 9, 1), Color(9, 9, 9, 1)});
    dst->blitKeyed(0, 0, *src, Color(0, 0, 0, 99));
    EXPECT_EQ(pixelsOf(*dst), (std::vector<Color>{Color(9, 9, 9, 1), Color(9, 9, 9, 1), Color(4, 252, 5, 7)}));
}

TEST(Image, AdditiveBlitsSaturateAndSetAlpha) {
    auto dst = make(2, 1, {Color(10, 20, 30, 0), Color(250, 0, 0, 0)});
    dst->blitAdd(0, 0, *make(2, 1, {Color(255, 255, 255, 0), Color(10, 1, 2, 3)}));
    EXPECT_EQ(pixelsOf(*dst), (std::vector<Color>{Color(255, 255, 255, 255), Color(255, 1, 2, 255)}));

    auto dst2 = make(2, 1, {Color(10, 20, 30, 0), Color(1, 2, 3, 4)});
    dst2->blitAddScaled(1, 0, *make(1, 1, {Color(255, 255, 255, 0)}), 0);
    EXPECT_EQ(pixelsOf(*dst2), (std::vector<Color>{Color(10, 20, 30, 0), Color(1, 2, 3, 255)}));
    dst2->blitAddScaled(0, 0, *make(1, 1, {Color(200, 100, 2, 0)}), 256 + 128);
    EXPECT_EQ(dst2->at(0, 0), Color(110, 70, 31, 255));
}

TEST(Image, FadeUsesSixteenBitWeights) {
    struct Case {
        const char* what;
        Color from, target;
        float fraction;
        Color want;
    };
    const Case cases[] = {
        {"zero keeps every byte", Color(1, 2, 3, 4), Color(255, 255, 255, 255), 0.0f, Color(1, 2, 3, 4)},
        {"one gives the target, alpha too", Color(1, 2, 3, 4), Color(9, 8, 7, 6), 1.0f, Color(9, 8, 7, 6)},
        {"half", Color(200, 100, 0, 0), Color(0, 0, 0, 0), 0.5f, Color(100, 50, 0, 0)},
        {"0.3 loses a step on white", Color(255, 255, 255, 0), Color(255, 255, 255, 0), 0.3f, Color(254, 254, 254, 0)},
        {"1.0625 wraps the old weight", Color(255, 255, 255, 0), Color(0, 0, 0, 0), 1.0625f, Color(240, 240, 240, 0)},
        {"1.0625 toward white: wrapped products, saturated sums", Color(255, 0, 128, 0), Color(255, 255, 255, 0),
         1.0625f, Color(255, 14, 255, 0)},
        {"a negative fraction wraps the target weight", Color(100, 100, 100, 0), Color(255, 255, 255, 0), -0.25f,
         Color(255, 255, 255, 0)},
        {"huge fraction has zero weights", Color(100, 100, 100, 100), Color(255, 255, 255, 255), 1e30f,
         Color(0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        auto img = make(1, 1, {c.from});
        img->fadeTo(c.target, c.fraction);
        EXPECT_EQ(img->at(0, 0), c.want) << c.what;
    }
}

TEST(Image, WrapRowsRotatesWithFlooredOffset) {
    auto src = numbered(2, 3);
    auto rowsAfter = [&](int x, int offset) {
        Image dst(2, 3);
        dst.blitWrapRows(x, offset, *src);
        std::vector<int> rows;
        for (int y = 0; y < 3; ++y) rows.push_back(dst.at(0, y).g - 1);  // 0..2, or -1 when untouched
        return rows;
    };
    EXPECT_EQ(rowsAfter(0, 0), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(rowsAfter(0, 3), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(rowsAfter(0, 1), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(rowsAfter(0, -1), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(rowsAfter(0, -7), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(rowsAfter(1, 0), (std::vector<int>{-1, -1, -1}));

    // A source too small to fill the image is not read past its end.
    Image dst(2, 3);
    dst.blitWrapRows(0, 0, *numbered(2, 2));
    EXPECT_EQ(dst.at(1, 2), Color());
}
