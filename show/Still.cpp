#include "show/Still.h"

#include "platform/DemoClock.h"
#include "platform/Display.h"
#include "platform/FixedMusic.h"
#include "platform/Keys.h"
#include "platform/Music.h"
#include "platform/Screen.h"
#include "platform/Timer.h"
#include "raster/FrameSize.h"
#include "show/Show.h"
#include "show/Timetable.h"

#include <cstdint>
#include <utility>

namespace {

// Music that walks row by row, 64 rows an order, from where it starts to the still's position,
// and stays there.
class WalkingMusic : public Music {
public:
    WalkingMusic(int order, int row) : targetOrder_(order), targetRow_(row) {}
    void startAt(int order) {
        order_ = order;
        row_ = 0;
    }
    void play() override {}
    std::uint32_t position() override { return FixedMusic::pack(order_, row_); }
    bool arrived() const { return order_ >= targetOrder_ && row_ >= targetRow_; }
    void step() {
        if (order_ < targetOrder_) {
            if (++row_ == 64) row_ = 0, ++order_;
        } else if (row_ < targetRow_) {
            ++row_;
        }
    }

private:
    int order_ = 0;
    int row_ = 0;
    int targetOrder_;
    int targetRow_;
};

// Lets the music walk to the still's position without drawing, keeps the first frame drawn
// there, then holds Escape so every later loop ends before drawing.
class StillDisplay : public Display {
public:
    StillDisplay(WalkingMusic& music, ManualKeys& keys) : music_(music), keys_(keys) {}
    bool wantsFrame() override { return music_.arrived(); }
    void skipFrame() override { music_.step(); }
    void present(const Image& frame) override {
        if (!kept) {
            kept = std::make_unique<Image>(frame.width(), frame.height());
            kept->blit(0, 0, frame);
        }
        keys_.hold();
    }
    std::unique_ptr<Image> kept;

private:
    WalkingMusic& music_;
    ManualKeys& keys_;
};

} // namespace

std::unique_ptr<Image> renderStill(const DataFolder& data, int order, int row, double seconds) {
    ManualKeys keys;
    WalkingMusic music(order, row);
    StillDisplay display(music, keys);
    Screen screen(frameWidth, frameHeight, display);
    ManualTimer timer(seconds);
    DemoClock clock(music, timer, DemoClock::Start::fixedAtZero);
    // Only the scene playing there is built. The walk starts where an uninterrupted play enters
    // it, so its phases are passed as they would be.
    const TimetableRow& playing = Timetable::playingAt(order);
    Show scene({screen, clock, keys, data}, playing);
    music.startAt(playing.orders.first);
    scene.play(music);
    return std::move(display.kept);
}

