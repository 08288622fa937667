// The flash guard: flashes met by seeks as fast as a held key makes them come at most two a second
// of play, while the show's own flashes, strobe and fades to white pass untouched.
#include "show/FlashGuard.h"

#include "platform/Timer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <vector>

namespace {

constexpr double frame = 1.0 / 60.0;

struct Frame {
    double seconds;  // the clock's reading
    bool entered;    // a seek came before it
    double amount;   // the whitening the scene asks for
};

// The frames' flashes as shown: how many started, and the most started in any second of play.
struct Shown {
    int flashes = 0;
    int mostInASecond = 0;
    int skipped = 0;
};

Shown run(const std::vector<Frame>& frames) {
    FlashGuard guard;
    Shown shown;
    std::vector<double> starts;
    double previous = 0.0, played = 0.0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Frame& f = frames[i];
        guard.beginFrame(f.seconds, f.entered);
        const double allowed = guard.allow(f.amount);
        if (allowed < f.amount) ++shown.skipped;
        if (allowed > previous + 0.1) starts.push_back(played);
        previous = allowed;
        played += frame;
    }
    shown.flashes = static_cast<int>(starts.size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
        int inSecond = 0;
        for (std::size_t j = i; j < starts.size() && starts[j] < starts[i] + 1.0; ++j) ++inSecond;
        shown.mostInASecond = std::max(shown.mostInASecond, inSecond);
    }
    return shown;
}

// The wall's time, as a test sets it.
class WallAt : public Timer {
public:
    double now = 0.0;
    double seconds() override { return now; }
};

// Three seconds of frames: amount(i) asks each frame's whitening; a seek comes every seekEvery
// frames (0 for none) and moves the clock on by jump seconds.
std::vector<Frame> frames(const std::function<double(int)>& amount, int seekEvery = 0, double jump = 0.0) {
    std::vector<Frame> out;
    double seconds = 0.0;
    for (int i = 0; i < 180; ++i) {
        const bool seek = seekEvery > 0 && i % seekEvery == 0;
        seconds += seek ? jump : frame;
        out.push_back({seconds, seek, amount(i)});
    }
    return out;
}

// A flash as the scenes draw one: all white, gone over 16 rows of about 7 frames each.
double flashAt(int sinceStart) { return std::max(0.0, 1.0 - sinceStart / 112.0); }

} // namespace

TEST(FlashGuard, LetsTheShowsOwnFlashesThroughAndStopsStorms) {
    struct Case {
        const char* what;
        std::vector<Frame> frames;
        int flashes;  // shown; 0 for a storm, of which some but at most two a second get through
        bool storm;
    };
    const Case cases[] = {
        // The strobe: a flash every 8 rows, 0.96 s apart.
        {"a strobe a second", frames([](int i) { return 1.0 - (i % 57) / 57.0; }), 4, false},
        {"one flash fading", frames([](int i) { return flashAt(i); }), 1, false},
        // A fade to white over two seconds rises too little a frame to be a flash.
        {"a fade to white", frames([](int i) { return i / 120.0 > 1.0 ? 1.0 : i / 120.0; }), 0, false},
        // A key held: a seek every 2 frames, each landing on an order's opening flash 8 s on.
        {"seeks onto every other order's flash", frames([](int i) { return (i / 2) % 2 ? 0.0 : 1.0; }, 2, 8.0), 0, true},
        // Seeks landing a few rows into flashes, and off them.
        {"seeks into flashes' tails", frames([](int i) { return (i / 3) % 3 ? 0.0 : 0.4; }, 3, 2.0), 0, true},
        {"seeks back onto one flash", frames([](int i) { return i % 4 < 2 ? 1.0 : 0.2; }, 2, -4.0), 0, true},
    };
    for (const Case& c : cases) {
        const Shown shown = run(c.frames);
        if (c.storm) {
            EXPECT_GE(shown.flashes, 2) << c.what;
            EXPECT_LE(shown.mostInASecond, 2) << c.what;
            EXPECT_GT(shown.skipped, 0) << c.what;
        } else {
            EXPECT_EQ(shown.flashes, c.flashes) << c.what;
            EXPECT_EQ(shown.skipped, 0) << c.what;
        }
    }
}

// Live, by the wall: a pause is time like any other, and seeks in one breath are one instant.
TEST(FlashGuard, LiveTimesFlashesByTheWall) {
    WallAt wall;
    FlashGuard guard;
    guard.timeBy(wall);
    auto frameAt = [&](double wallSeconds, double amount) {
        wall.now = wallSeconds;
        guard.beginFrame(0.0, true);
        return guard.allow(amount);
    };
    EXPECT_EQ(frameAt(0.0, 1.0), 1.0);
    EXPECT_EQ(frameAt(0.1, 0.0), 0.0);
    // Seeks onto flashes faster than the gap: skipped.
    EXPECT_EQ(frameAt(0.2, 1.0), 0.0);
    EXPECT_EQ(frameAt(0.3, 0.0), 0.0);
    // Paused for seconds, then a seek onto a flash: shown, though the show's clock stood still.
    EXPECT_EQ(frameAt(3.0, 1.0), 1.0);
}
