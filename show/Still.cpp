#include "show/Still.h"

#include "platform/DemoClock.h"
#include "platform/Display.h"
#include "platform/FixedMusic.h"
#include "platform/Keys.h"
#include "platform/Screen.h"
#include "platform/Timer.h"
#include "raster/FrameSize.h"
#include "show/Show.h"
#include "show/ShowPlan.h"

namespace {

// Keeps the one frame drawn.
class StillDisplay : public Display {
public:
    void present(const Image& frame) override {
        kept = std::make_unique<Image>(frame.width(), frame.height());
        kept->blit(0, 0, frame);
    }
    std::unique_ptr<Image> kept;
};

} // namespace

std::unique_ptr<Image> renderStill(const ShowPlan& show, int order, int row, double seconds) {
    ManualKeys keys;
    FixedMusic music(Music::pack(order, row));
    StillDisplay display;
    Screen screen(frameWidth, frameHeight, display);
    ManualTimer timer(seconds);
    DemoClock clock(music, timer, DemoClock::Start::fixedAtZero);
    // Only the scene playing there is built, and walked from where an uninterrupted play enters
    // it, so its phases are passed as they would be.
    Show scene({screen, clock, keys, show.data, show.viewing}, show.timetable().playingAt(order));
    scene.enterAt(0, show.shape, {order, row, seconds});
    scene.step();
    return std::move(display.kept);
}
