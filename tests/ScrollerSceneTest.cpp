#include "ShowFrames.h"

using Scroller = ShowFrames;

namespace {

// The unfaded frame at music rows pos since order 8, with the clock at 0 s, where sin(sin(0))
// is 0 and both dot pictures show at half strength: the rolls worked out from the pictures.
std::unique_ptr<Image> rolled(int pos) {
    auto background = Image::load(buildData(), "Part3/background.pcx");
    auto scroll = Image::load(buildData(), "Part3/scroll.pcx");
    auto dots = Image::load(buildData(), "Part3/dots.pcx");
    auto dots2 = Image::load(buildData(), "Part3/dots2.pcx");
    Image mix(dots->width(), dots->height()), half2(dots->width(), dots->height());
    mix.blit(0, 0, *dots);
    mix.fadeTo(Color(), 0.5f);
    half2.blit(0, 0, *dots2);
    half2.fadeTo(Color(), 0.5f);
    mix.blitAdd(0, 0, half2);

    auto out = std::make_unique<Image>(600, 300);
    out->blit(0, 0, *background);
    for (int y = 0; y < 300; ++y) {
        const int scrollRow = (pos * 5 + y) % scroll->height();
        for (int x = 150; x < 600 && x - 150 < scroll->width(); ++x)
            out->at(x, y) = out->at(x, y).addSaturate(scroll->at(x - 150, scrollRow));
        const int dotsRow = (pos * 3 + y) % dots->height();
        for (int x = 0; x < 600 && x < dots->width(); ++x) out->at(x, y) = out->at(x, y).addSaturate(mix.at(x, dotsRow));
    }
    return out;
}

} // namespace

TEST_F(Scroller, RollsWithTheRowsAndFadesAtBothEnds) {
    expectAll(*frame(8, 0, 0.0), Color(), "order 8 row 0");
    EXPECT_EQ(TestImages::pixelsOf(*frame(8, 4, 0.0)), TestImages::pixelsOf(*rolled(4)));
    // Order 9 row 0: the scroll shows from its row 320, the dots from their row 192.
    EXPECT_EQ(TestImages::pixelsOf(*frame(9, 0, 0.0)), TestImages::pixelsOf(*rolled(64)));
    EXPECT_EQ(TestImages::pixelsOf(*frame(8, 2, 0.0)), TestImages::pixelsOf(*faded(*rolled(2), Color(), 0.5f)));
    expectAll(*frame(10, 16, 0.0), Color(), "order 10 row 16");
    // Beyond row 16 the fraction passes 1 and the fade's wrapped weights show through.
    EXPECT_EQ(TestImages::pixelsOf(*frame(10, 17, 0.0)), TestImages::pixelsOf(*faded(*rolled(145), Color(), 1.0625f)));
}

TEST_F(Scroller, ShowsEveryRowOfItsScroll) {
    // The roll reaches its furthest at the last row of order 10, 191 music rows in: the frame's
    // foot is then the scroll's row 191 × 5 + 299. Anything drawn below it is never seen.
    EXPECT_LE(picture("Part3/scroll.pcx")->height(), 191 * 5 + 300);
}
