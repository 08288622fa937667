#include "BuildData.h"
#include "platform/DemoClock.h"
#include "platform/FixedMusic.h"
#include "platform/Module.h"
#include "platform/SteppedMusic.h"
#include "raster/LoadError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {
std::string loadMessage(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    try {
        Module m(name, bytes);
    } catch (const LoadError& e) {
        return e.what();
    }
    return "no error";
}

std::unique_ptr<Module> showModule() {
    return Module::load(buildData(), "Super.xm");
}
} // namespace

TEST(Music, PositionSplitsIntoOrderAndRow) {
    struct Case {
        std::uint32_t position;
        int order, row;
    };
    for (const Case& c : {Case{(32u << 16) | 3u, 3, 32}, Case{0xFFFFFFFFu, 65535, 65535}, Case{0, 0, 0},
                          Case{Music::pack(36, 63), 36, 63}}) {
        FixedMusic music(c.position);
        ManualTimer timer;
        DemoClock clock(music, timer);
        const Position p = clock.now();
        EXPECT_EQ(p.order, c.order) << std::hex << c.position;
        EXPECT_EQ(p.row, c.row) << std::hex << c.position;
    }
}

TEST(DemoClock, OneReadingNeverMixesTwoRows) {
    // The music moves on between any two reads, here across an order's last row: a reading
    // that asked twice could pair order 4 with row 0, a position the music never held.
    struct Moving : Music {
        std::uint32_t next[2] = {Music::pack(3, 63), Music::pack(4, 0)};
        int reads = 0;
        void play() override {}
        std::uint32_t position() override { return next[std::min(reads++, 1)]; }
    } music;
    ManualTimer timer(7.5);
    DemoClock clock(music, timer, DemoClock::Start::fixedAtZero);
    const Position p = clock.now();
    EXPECT_EQ(music.reads, 1);
    EXPECT_EQ(p.order, 3);
    EXPECT_EQ(p.row, 63);
    EXPECT_EQ(p.seconds, 7.5);
}

TEST(DemoClock, SecondsCountFromTheLastResetUnlessFixed) {
    FixedMusic music;
    ManualTimer timer(1000.25);
    DemoClock live(music, timer);
    live.reset();
    EXPECT_NEAR(live.seconds(), 0.0, 1e-3);
    timer.set(1002.75);
    EXPECT_NEAR(live.seconds(), 2.5, 1e-3);

    // Offline the timer already reads show time, so the opening scene's reset must not move it.
    DemoClock offline(music, timer, DemoClock::Start::fixedAtZero);
    offline.reset();
    EXPECT_EQ(offline.seconds(), 1002.75);
}

TEST(Module, RefusesWhatIsNotAModule) {
    EXPECT_EQ(loadMessage("Super.xm", {}), "Super.xm: Not a supported module file");
    EXPECT_EQ(loadMessage("Super.xm", std::vector<std::uint8_t>(4000, 0x5A)), "Super.xm: Not a supported module file");
    try {
        Module::load(DataFolder(TINDREL_BUILD_DATA_DIR "/nowhere"), "Super.xm");
        ADD_FAILURE() << "a missing module loaded";
    } catch (const LoadError& e) {
        EXPECT_STREQ(e.what(), "Super.xm: Could not open file");
    }
}

// The player accepts a module cut anywhere after its header and says nothing; wherever the cut
// falls (in the patterns, an instrument's headers or the sample data) the module warns.
TEST(Module, WarnsOfAFileCutShort) {
    const std::vector<std::uint8_t> whole = buildData().read("Super.xm");
    EXPECT_EQ(Module("Super.xm", whole).warning(), "");
    for (const double kept : {0.02, 0.1, 0.5, 0.9, 0.9999}) {
        std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(static_cast<double>(whole.size()) * kept));
        const Module module("Super.xm", cut);
        EXPECT_EQ(module.warning(), "the file is cut short after " + std::to_string(cut.size()) +
                                        " bytes; the music will be incomplete")
            << kept;
    }
}

TEST(Module, ReadsAllBitsSetOnceItHasPlayedOut) {
    auto module = showModule();
    module->seekOrder(module->orderCount() - 1);
    std::vector<float> buffer(2 * 4096);
    int reads = 0;
    while (module->render(buffer.data(), 4096) == 4096) ASSERT_LT(++reads, 2000) << "the module never ends";
    EXPECT_EQ(module->position(), Module::endPosition);
    // A read after the end gives silence, not the song again from the top.
    EXPECT_EQ(module->render(buffer.data(), 4096), 0u);
    EXPECT_EQ(buffer[0], 0.0f);
}

TEST(SteppedMusic, FollowsTheVirtualClockFromItsStartOrder) {
    SteppedMusic music(showModule(), showModule()->shape(), 36);
    EXPECT_EQ(music.order(), 36);
    EXPECT_NEAR(music.startSeconds(), 36 * 7.68, 0.01);
    music.advanceTo(music.startSeconds() + 1.0);
    EXPECT_TRUE(music.samples().empty()) << "nothing renders before play";
    music.play();
    music.advanceTo(music.startSeconds() + 1.0);
    EXPECT_EQ(music.samples().size(), 2u * 44100);
    EXPECT_EQ(music.order(), 36);
    EXPECT_EQ(music.row(), 8);  // 1 s at 0.12 s a row
}

// Stills and captures ask the module without samples where orders are and when; its answers
// must be the whole module's, or a still would be drawn at another time than play reaches.
TEST(Module, TimelineAnswersAsTheWholeModule) {
    const auto timeline = Module::loadTimeline(buildData(), "Super.xm");
    const auto whole = showModule();
    ASSERT_EQ(timeline->orderCount(), whole->orderCount());
    EXPECT_DOUBLE_EQ(timeline->durationSeconds(), whole->durationSeconds());
    for (int order = 0; order < whole->orderCount(); ++order) {
        ASSERT_EQ(timeline->rowsIn(order), whole->rowsIn(order)) << order;
        for (const int row : {0, 17, whole->rowsIn(order) - 1}) {
            timeline->seek(order, row);
            whole->seek(order, row);
            EXPECT_DOUBLE_EQ(timeline->positionSeconds(), whole->positionSeconds()) << order << ':' << row;
        }
    }
}
