#include "platform/FixedMusic.h"
#include "show/Scene.h"
#include "show/Show.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// The music moves on by one scripted position after every presented frame; the keys do what
// the script says after a given frame.
struct Rig : Display {
    FixedMusic music;
    ManualTimer timer;
    DemoClock clock{music, timer};
    ManualKeys keys;
    const DataFolder data;
    const Viewing viewing;
    Screen screen{4, 2, *this};
    std::vector<std::pair<int, int>> positions;
    std::function<void(int frame)> afterFrame = [](int) {};
    int frames = 0;

    explicit Rig(std::vector<std::pair<int, int>> script) : positions(std::move(script)) {
        music.set(positions[0].first, positions[0].second);
    }
    void present(const Image&) override {
        ++frames;
        const auto& next = positions[std::min<std::size_t>(frames, positions.size() - 1)];
        music.set(next.first, next.second);
        afterFrame(frames);
    }
};

// What the test scenes drew, a letter a frame.
std::string log;

// Phase a runs until row 32; phase b until order 1. Phase a composes into the screen, phase b
// never locks it: the protocol must present both alike.
class TwoPhases : public Scene {
public:
    using Scene::Scene;
    std::vector<Phase> phases() override {
        return {{[](const Position& p) { return p.row >= 32; },
                 [this](const Position&) {
                     log += 'a';
                     lock().fadeTo(Color(255, 255, 255, 0), 1.0f);
                 }},
                {[](const Position& p) { return p.order >= 1; }, [](const Position&) { log += 'b'; }}};
    }
};

const TimetableRow twoPhases{"two phases", {0, 0}, [](const Stage& stage, const Scene::Slot& slot) -> std::unique_ptr<Scene> {
                                 return std::make_unique<TwoPhases>(stage, slot);
                             }, {0, 0}, {}, "test", "."};

// Steps the show as a frame loop does, to its end.
void playOut(Rig& rig) {
    log.clear();
    Show show({rig.screen, rig.clock, rig.keys, rig.data, rig.viewing}, twoPhases);
    while (show.step() == Show::Step::drawn) {
    }
}

const std::vector<std::pair<int, int>> script = {{0, 0}, {0, 10}, {0, 40}, {0, 50}, {1, 0}};

} // namespace

TEST(FrameProtocol, EachPhaseRunsUntilItsEndCondition) {
    Rig rig(script);
    playOut(rig);
    EXPECT_EQ(log, "aabb");
    EXPECT_EQ(rig.frames, 4);
    EXPECT_FALSE(rig.screen.locked());
    EXPECT_EQ(rig.keys.reads(), 6) << "one read before each phase and one after each frame";
}

TEST(FrameProtocol, EscapeEndsPhasesAsTheKeyIsRead) {
    struct Case {
        const char* what;
        std::function<void(Rig&)> keys;
        std::string log;
    };
    const Case cases[] = {
        {"held from the start: no phase draws a frame", [](Rig& r) { r.keys.hold(); }, ""},
        {"held after the first frame: the next phase ends before drawing",
         [](Rig& r) { r.afterFrame = [&r](int) { r.keys.hold(); }; }, "a"},
        // The tap is seen once: phase b then plays on from wherever the music is.
        {"a short tap ends only the running phase",
         [](Rig& r) { r.afterFrame = [&r](int f) { if (f == 1) r.keys.tap(); }; }, "abbb"},
    };
    for (const Case& c : cases) {
        Rig rig(script);
        c.keys(rig);
        playOut(rig);
        EXPECT_EQ(log, c.log) << c.what;
        EXPECT_EQ(rig.frames, static_cast<int>(c.log.size())) << c.what;
    }
}

TEST(FrameProtocol, APositionWithAllBitsSetEndsEveryPhase) {
    Rig rig({{0xFFFF, 0xFFFF}});
    playOut(rig);
    EXPECT_EQ(log, "");
    EXPECT_EQ(rig.frames, 0);
}

TEST(FrameProtocol, EnteringAtAPositionPassesThePhasesAnUninterruptedPlayPasses) {
    // A still or a seek walks the rows from the scene's start without drawing: every row on the
    // way is tested by the end conditions, so the phase running at the end is the one an
    // uninterrupted play reaches. Rows the song does not have are not walked.
    struct Case {
        int rowsPerOrder;
        Position target;
        std::string log;
    };
    const Case cases[] = {
        {64, {0, 50, 0.0}, "b"},  // past row 32: phase a is over
        {64, {0, 10, 0.0}, "a"},
        {64, {1, 0, 0.0}, ""},    // both phases over
        {16, {1, 0, 0.0}, "a"},   // order 0 has rows 0 to 15 only: row 32 never came
        {64, {0xFFFF, 0, 0.0}, ""},
    };
    for (const Case& c : cases) {
        Rig rig({{c.target.order, c.target.row}});
        rig.afterFrame = [&rig](int) { rig.keys.hold(); };
        log.clear();
        const MusicShape shape = MusicShape::steady({c.rowsPerOrder}, 0.12);
        Show show({rig.screen, rig.clock, rig.keys, rig.data, rig.viewing}, twoPhases);
        show.enterAt(0, shape, c.target);
        while (show.step() == Show::Step::drawn) {
        }
        EXPECT_EQ(log, c.log) << c.target.order << ':' << c.target.row;
    }
}

TEST(FrameProtocol, AFrameDrawsOnThePositionItsEndWasTestedOn) {
    // The music moves on between any two reads: a frame that read the clock again would see a
    // later row than the one its phase's end was tested on.
    struct Moving : Music {
        int reads = 0;
        void play() override {}
        std::uint32_t position() override { return Music::pack(0, reads++); }
    } music;
    struct Count : Display {
        int frames = 0;
        void present(const Image&) override { ++frames; }
    } display;
    ManualTimer timer;
    DemoClock clock(music, timer);
    ManualKeys keys;
    const DataFolder data;
    const Viewing viewing;
    Screen screen(4, 2, display);
    static std::vector<int> tested, drawn;
    struct Rows : Scene {
        using Scene::Scene;
        std::vector<Phase> phases() override {
            return {{[](const Position& p) { return tested.push_back(p.row), p.row >= 3; },
                     [](const Position& p) { drawn.push_back(p.row); }}};
        }
    };
    const TimetableRow rows{"rows", {0, 0}, [](const Stage& stage, const Scene::Slot& slot) -> std::unique_ptr<Scene> {
                                return std::make_unique<Rows>(stage, slot);
                            }, {0, 0}, {}, "test", "."};
    Show show({screen, clock, keys, data, viewing}, rows);
    while (show.step() == Show::Step::drawn) {
    }
    EXPECT_EQ(tested, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(music.reads, 4) << "one reading a frame";
}

TEST(FrameProtocol, DrawingOutsideAFrameIsCaught) {
    struct Null : Display {
        void present(const Image&) override {}
    } display;
    Screen screen(4, 2, display);
    EXPECT_THROW(screen.frame(), std::logic_error);
    EXPECT_THROW(screen.update(), std::logic_error);
    screen.lock().fadeTo(Color(255, 255, 255, 0), 1.0f);
    EXPECT_EQ(screen.frame().at(3, 1), Color(255, 255, 255, 0));
    screen.update();
    EXPECT_THROW(screen.frame(), std::logic_error);
}
