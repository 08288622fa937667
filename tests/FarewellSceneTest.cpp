#include "BuildData.h"
#include "TestImages.h"
#include "app/OfflineRender.h"
#include "show/Scene.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

class FarewellFrames : public ::testing::Test {
protected:
    void SetUp() override {
        background = Image::load(buildData(), "Part9/background.pcx");
    }

    // Every pixel of the frame at order 36 and row, against want applied to the picture; gentle
    // flashes when asked.
    void expectFrame(int row, const std::function<Color(Color)>& want, bool gentle = false) {
        ShowPlan show = buildShow();
        show.viewing.gentle = gentle;
        auto frame = OfflineRender::still(show, 36, row, 0.0);
        ASSERT_TRUE(frame) << "row " << row;
        ASSERT_EQ(frame->width(), 600);
        ASSERT_EQ(frame->height(), 300);
        for (std::size_t i = 0; i < frame->pixelCount(); ++i)
            ASSERT_EQ(frame->pixels()[i], want(background->pixels()[i])) << "row " << row << " pixel " << i;
    }

    std::unique_ptr<Image> background;
};

// Each channel as the 8.8 weights give it: toward black by k/256, then toward white (or the grey
// of peak) by w/256.
std::function<Color(Color)> faded(int keep, int towardWhite, int peak = 255) {
    return [=](Color c) {
        auto ch = [&](int v) {
            const int dark = (v * keep) >> 8;
            return (dark * (256 - towardWhite) + peak * towardWhite) >> 8;
        };
        return Color(ch(c.r), ch(c.g), ch(c.b), 0);
    };
}

} // namespace

TEST_F(FarewellFrames, FlashesWhiteThenSinksTowardBlack) {
    expectFrame(0, [](Color) { return Color(255, 255, 255, 0); });
    expectFrame(8, faded(224, 128));   // darkened by 8/64, then half-way to white
    expectFrame(16, faded(192, 0));    // only the darkening remains
    expectFrame(32, [](Color c) { return Color(c.r / 2, c.g / 2, c.b / 2, 0); });
    expectFrame(63, faded(4, 0));
}

// Gentle, the flash goes toward two fifths of white (102) instead of white: the bright pixels
// down and the dark ones up, so no pixel of a flash frame is brighter than that grey or the scene.
TEST_F(FarewellFrames, AGentleFlashGoesToTwoFifthsOfWhite) {
    expectFrame(0, [](Color) { return Color(102, 102, 102, 0); }, true);
    expectFrame(8, faded(224, 128, 102), true);
    expectFrame(16, faded(192, 0, 102), true);
}

TEST_F(FarewellFrames, NothingIsDrawnOnceTheMusicHasEnded) {
    for (int order : {37, 65535}) EXPECT_FALSE(OfflineRender::still(buildShow(), order, 0, 0.0)) << order;
}
