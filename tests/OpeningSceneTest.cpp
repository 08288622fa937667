#include "BuildData.h"
#include "TestImages.h"
#include "app/OfflineRender.h"

#include <gtest/gtest.h>

namespace {

class OpeningFrames : public ::testing::Test {
protected:
    static std::vector<Color> frame(int order, int row, double seconds = 1.25) {
        auto f = OfflineRender::still(buildShow(), order, row, seconds);
        EXPECT_TRUE(f) << order << ':' << row;
        return f ? TestImages::pixelsOf(*f) : std::vector<Color>();
    }
};

} // namespace

TEST_F(OpeningFrames, TheLogoFadesInFromBlack) {
    for (Color c : frame(0, 0)) ASSERT_EQ(c, Color());

    const auto logo = TestImages::pixelsOf(*Image::load(buildData(), "Part1/logolight.pcx"));
    const auto half = frame(1, 0);
    for (std::size_t i = 0; i < logo.size(); ++i)
        ASSERT_EQ(half[i], Color(logo[i].r / 2, logo[i].g / 2, logo[i].b / 2, 0)) << i;
}

TEST_F(OpeningFrames, TheFlashOpensTheRaysAndIsGoneByRow32) {
    for (Color c : frame(2, 0)) ASSERT_EQ(c, Color(255, 255, 255, 0));

    // From row 32 the third phase runs, here as later in order 3: the same rays, no flash.
    const auto unflashed = frame(2, 32);
    EXPECT_EQ(frame(3, 17), unflashed);
    EXPECT_EQ(frame(2, 63), unflashed);

    // Row 31 is the same picture a thirty-second of the way to white.
    Image expected(600, 300);
    std::copy(unflashed.begin(), unflashed.end(), expected.pixels());
    expected.fadeTo(Color(255, 255, 255, 0), 1.0f / 32);
    EXPECT_EQ(frame(2, 31), TestImages::pixelsOf(expected));

    // The rays move with the clock.
    EXPECT_NE(frame(3, 0, 2.0), unflashed);
}
