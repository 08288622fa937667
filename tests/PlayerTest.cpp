// The player on scripted keys, music moved by hand and a window that only remembers: what the
// keys do to the music, the clock and the frames.

#include "ScriptedKeys.h"
#include "ShowFrames.h"
#include "platform/FixedMusic.h"
#include "platform/Module.h"
#include "raster/FrameSize.h"
#include "raster/Image.h"
#include "show/Player.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

using TestImages::checksum;

namespace {

// This show's module in shape: 37 orders of 64 rows, a row every 0.12 s. One row a frame.
struct HandMusic : SteerableMusic {
    int order = 0;
    int row = 0;
    bool played = false;
    bool paused = false;
    bool silent = false;
    void play() override { played = true; }
    std::uint32_t position() override { return order >= 37 ? Module::endPosition : Music::pack(order, row); }
    double seek(int o, int r) override {
        order = o;
        row = r;
        return (o * 64 + r) * 0.12;
    }
    void setPaused(bool p) override { paused = p; }
    void setMuted(bool m) override { silent = m; }
    bool muted() const override { return silent; }
    static MusicShape shape() {
        return MusicShape::steady(std::vector<int>(37, 64), 0.12);
    }
    void advance() {
        if (!played || paused || order >= 37) return;
        if (++row == 64) row = 0, ++order;
    }
};

struct Shown {
    std::uint32_t frame;
    Overlay overlay;
    bool musicPaused;
};

// Each show is a sixtieth of a second of both clocks, and moves the music on unless paused.
struct MemoryWindow : PlayerWindow {
    HandMusic& music;
    ManualTimer& ticks;
    ManualTimer& wall;
    std::map<int, double> slow;  // extra wall seconds spent on the show of that index
    std::vector<Shown> shown;
    std::vector<std::pair<std::string, std::uint32_t>> screenshots;  // each one's name and frame
    MemoryWindow(HandMusic& m, ManualTimer& t, ManualTimer& w) : music(m), ticks(t), wall(w) {}
    void show(const Image& frame, const Overlay& overlay) override {
        const auto extra = slow.find(static_cast<int>(shown.size()));
        shown.push_back({checksum(frame), overlay, music.paused});
        ticks.set(ticks.seconds() + 1.0 / 60.0);
        wall.set(wall.seconds() + 1.0 / 60.0 + (extra == slow.end() ? 0.0 : extra->second));
        music.advance();
    }
    void toggleFullscreen() override {}
    double refreshSeconds() const override { return 1.0 / 60.0; }
    std::string screenshot(const Image& frame, const std::string& name) override {
        screenshots.emplace_back(name, checksum(frame));
        return name;
    }
};

// Where the pointer is for the whole play: the share of the bar a seekBar gives, and whether it
// rests near the foot of the picture.
struct Pointer {
    double share = 0.0;
    bool atFoot = false;
};

struct Rig {
    HandMusic music;
    ManualTimer ticks;
    ManualTimer wall;
    MemoryWindow window{music, ticks, wall};
    ScriptedKeys keys;
    ShowPlan show = buildShow();
    std::optional<Player> player;

    explicit Rig(PlayRange range, std::map<int, std::vector<Command>> script = {},
                 std::map<int, double> slowShows = {}, std::function<void(Player&, int)> idle = {},
                 std::vector<std::string> awaiting = {}, Pointer pointer = {}) {
        keys.script = std::move(script);
        keys.share = pointer.share;
        keys.atFoot = pointer.atFoot;
        window.slow = std::move(slowShows);
        show.shape = HandMusic::shape();
        show.range = range;
        player.emplace(Player::Platform{window, keys, music, ticks, wall}, show);
        player->awaitData(std::move(awaiting));
        if (idle) player->onIdle([this, idle, turn = 0]() mutable { idle(*player, turn++); });
        player->play();
    }
    std::vector<std::uint32_t> frames(std::size_t from, std::size_t to) const {
        std::vector<std::uint32_t> out;
        for (std::size_t i = from; i < to && i < window.shown.size(); ++i) out.push_back(window.shown[i].frame);
        return out;
    }
};

using Q = std::vector<Command>;

} // namespace

using PlayerKeys = ShowFrames;

TEST_F(PlayerKeys, PauseHoldsTheFrameAndResumesExactlyWhereItStopped) {
    const PlayRange range{.from = 33, .to = 33};
    const Rig straight(range);
    // Paused after the sixth frame, with the display, the key help and the mute turned on;
    // resumed at the player's fifteenth look, after eight showings of the held frame.
    const Rig paused(range, {{5, Q{Command::pause, Command::onScreenDisplay}}, {9, Q{Command::help, Command::mute}},
                             {14, Q{Command::pause}}});
    ASSERT_EQ(straight.window.shown.size(), 64u);
    ASSERT_EQ(paused.window.shown.size(), 64u + 8u);
    for (std::size_t i = 6; i < 14; ++i) {
        EXPECT_EQ(paused.window.shown[i].frame, paused.window.shown[5].frame) << "showing " << i;
        EXPECT_TRUE(paused.window.shown[i].musicPaused) << "showing " << i;
    }
    // The text lies over the frame, never in it: the frames drawn are those of the straight play.
    EXPECT_EQ(paused.frames(0, 6), straight.frames(0, 6));
    EXPECT_EQ(paused.frames(14, 72), straight.frames(6, 64));
    const Overlay& over = paused.window.shown[12].overlay;
    ASSERT_EQ(over.corner.size(), 3u);
    EXPECT_EQ(over.corner[0], "order 33 · row 5   4:13 / 4:44");
    EXPECT_EQ(over.corner[1], "the wave warp");
    EXPECT_EQ(over.corner[2].find("paused"), 0u) << "no rate while paused";
    EXPECT_NE(over.corner[2].find("muted"), std::string::npos);
    EXPECT_FALSE(over.panel.empty());
    EXPECT_TRUE(paused.music.silent && !straight.music.silent);
}

TEST_F(PlayerKeys, ASeekWhilePausedShowsTheNewFrameAndStaysPaused) {
    struct Case {
        const char* what;
        int from;
        Q keys;
        Player::Target to;
    };
    const Case cases[] = {
        // Eight scenes on from the opening: the farewell, which opens all white.
        {"eight PageDowns", 0, Q(8, Command::nextScene), {36, 0}},
        // Into the opening's last order: an uninterrupted play has passed its flash by row 1
        // there, so the scene is walked through its phases rather than dropped at the position.
        {"Right", 2, Q{Command::nextOrder}, {3, 1}},
    };
    for (const Case& c : cases) {
        // Paused at the second frame, the keys at the player's fourth look, quit at its seventh.
        const Rig rig({.from = c.from}, {{1, Q{Command::pause}}, {3, c.keys}, {6, Q{Command::quit}}});
        const auto& shown = rig.window.shown;
        ASSERT_EQ(shown.size(), 5u) << c.what;
        EXPECT_TRUE(rig.music.order == c.to.order && rig.music.row == c.to.row && rig.music.paused) << c.what;
        // The held frame, then the new position's frame as a still draws it, held in turn.
        EXPECT_EQ(shown[2].frame, shown[1].frame) << c.what;
        const auto still = OfflineRender::still(buildShow(), c.to.order, c.to.row, (c.to.order * 64 + c.to.row) * 0.12);
        EXPECT_EQ(shown[3].frame, checksum(*still)) << c.what;
        EXPECT_EQ(shown[4].frame, shown[3].frame) << c.what;
        for (std::size_t i = 2; i < shown.size(); ++i) EXPECT_TRUE(shown[i].musicPaused) << c.what << ", showing " << i;
    }
}

// What each key did, said over the picture for a moment even with the display off.
TEST_F(PlayerKeys, EveryKeySaysWhatItDid) {
    struct Case {
        PlayRange range;
        std::map<int, std::vector<Command>> keys;
        std::size_t showing;  // the showing that carries the message
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {{.from = 33}, {{0, Q{Command::pause}}}, 1, {"paused"}},
        {{.from = 33}, {{0, Q{Command::pause}}, {1, Q{Command::pause}}}, 2, {"playing"}},
        {{.from = 33}, {{0, Q{Command::mute}}}, 1, {"muted"}},
        {{.from = 33}, {{0, Q{Command::mute}}, {1, Q{Command::mute}}}, 2, {"unmuted"}},
        {{.from = 33}, {{0, Q(3, Command::volumeDown)}}, 1, {"volume 70 %"}},
        {{.from = 33}, {{0, Q(12, Command::volumeDown)}}, 1, {"volume 0 %"}},
        {{.from = 33}, {{0, Q{Command::volumeDown, Command::mute}}, {1, Q{Command::volumeUp, Command::volumeUp}}}, 2,
         {"volume 100 %  (muted)"}},
        {{.from = 33}, {{0, Q{Command::nextScene}}}, 1, {"order 36 · row 0   4:36 / 4:44", "farewell"}},
        {{.from = 33}, {{0, Q{Command::previousOrder, Command::previousOrder}}}, 1,
         {"order 31 · row 0   3:58 / 4:44", "tunnels and cones"}},
        {{.from = 33}, {{0, Q{Command::screenshot}}}, 1, {"screenshot: tindrel-33-00.png"}},
        // The ends of the show say so, rather than nothing.
        {{.from = 36}, {{0, Q{Command::nextOrder}}}, 1, {"the end of the show"}},
        {{.from = 36}, {{0, Q{Command::nextScene}}}, 1, {"the end of the show"}},
        {{.from = 0}, {{0, Q{Command::previousScene}}}, 1, {"order 0 · row 0   0:00 / 4:44", "the first scene"}},
        {{.from = 33}, {{0, Q{Command::nextRow, Command::nextRow}}}, 1, {"order 33 · row 2   4:13 / 4:44", "the wave warp"}},
        {{.from = 35, .to = 35, .loop = true}, {}, 64, {"looping"}},
        {{.from = 35}, {{0, Q{Command::loopScene}}}, 1, {"looping", "the wave warp"}},
        {{.from = 35}, {{0, Q{Command::loopScene}}, {1, Q{Command::loopScene}}}, 2, {"not looping"}},
        // A message lasts 1.5 s of the wall: ninety showings at 60 a second.
        {{.from = 33}, {{0, Q{Command::mute}}}, 90, {"muted"}},
        {{.from = 33}, {{0, Q{Command::mute}}}, 92, {}},
    };
    for (const Case& c : cases) {
        auto keys = c.keys;
        keys[static_cast<int>(c.showing) + 1].push_back(Command::quit);
        const Rig rig(c.range, keys);
        ASSERT_GT(rig.window.shown.size(), c.showing);
        EXPECT_EQ(rig.window.shown[c.showing].overlay.message, c.said) << "showing " << c.showing;
        // Said over the picture alone: the display stays off.
        EXPECT_TRUE(rig.window.shown[c.showing].overlay.corner.empty());
    }
}

TEST_F(PlayerKeys, VolumeGoesByTensFromSilenceToFull) {
    const Rig rig({.from = 33}, {{0, Q(4, Command::volumeDown)}, {1, Q{Command::volumeUp}}, {2, Q{Command::quit}}});
    EXPECT_EQ(rig.music.volume(), 70);
    const Rig full({.from = 33}, {{0, Q{Command::volumeDown}}, {1, Q(5, Command::volumeUp)}, {2, Q{Command::quit}}});
    EXPECT_EQ(full.music.volume(), 100);
}

// The screenshot is the frame, never the window: paused where a seek went, it is that
// position's still; playing, the frame on screen.
TEST_F(PlayerKeys, AScreenshotIsTheFrameAsTheStillDrawsIt) {
    const Rig paused({.from = 33},
                     {{1, Q{Command::pause}}, {3, Q{Command::nextScene}}, {4, Q{Command::screenshot}}, {6, Q{Command::quit}}});
    ASSERT_EQ(paused.window.screenshots.size(), 1u);
    EXPECT_EQ(paused.window.screenshots[0].first, "tindrel-36-00.png");
    EXPECT_EQ(paused.window.screenshots[0].second, checksum(*OfflineRender::still(buildShow(), 36, 0, 36 * 64 * 0.12)));
    EXPECT_EQ(paused.window.shown[4].overlay.message, std::vector<std::string>{"screenshot: tindrel-36-00.png"});

    const Rig playing({.from = 33}, {{5, Q{Command::screenshot}}, {6, Q{Command::quit}}});
    ASSERT_EQ(playing.window.screenshots.size(), 1u);
    EXPECT_EQ(playing.window.screenshots[0].first, "tindrel-33-05.png");
    EXPECT_EQ(playing.window.screenshots[0].second, playing.window.shown[5].frame);
}

// A frame step pauses and moves the show's clock by a sixtieth of a second, drawing the frame
// a still draws at that time; back over an order's start it goes to the order before.
TEST_F(PlayerKeys, FrameStepsMoveASixtiethAndStayPaused) {
    const double start = 33 * 64 * 0.12;
    // The first frame is drawn at the order's start; steps in one breath add up.
    const Rig rig({.from = 33}, {{0, Q{Command::frameForward}},
                                 {1, Q{Command::frameForward, Command::frameForward}},
                                 {2, Q{Command::frameBack}},
                                 {5, Q{Command::quit}}});
    const auto& shown = rig.window.shown;
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_TRUE(rig.music.paused);
    for (std::size_t i = 1; i < shown.size(); ++i) EXPECT_TRUE(shown[i].musicPaused) << "showing " << i;
    EXPECT_EQ(shown[1].frame, checksum(*OfflineRender::still(buildShow(), 33, 0, start + 1.0 / 60.0)));
    EXPECT_EQ(shown[3].frame, checksum(*OfflineRender::still(buildShow(), 33, 0, start + 2.0 / 60.0)));
    EXPECT_EQ(shown[4].frame, shown[3].frame);
    EXPECT_EQ(shown[3].overlay.message, (std::vector<std::string>{"order 33 · row 0   4:13.47 / 4:44", "the wave warp"}));

    const Rig back({.from = 33}, {{0, Q{Command::frameBack}}, {3, Q{Command::quit}}});
    ASSERT_EQ(back.window.shown.size(), 3u);
    EXPECT_TRUE(back.music.order == 32 && back.music.row == 63 && back.music.paused);
    EXPECT_EQ(back.window.shown[1].frame, checksum(*OfflineRender::still(buildShow(), 32, 63, start - 1.0 / 60.0)));
}

TEST_F(PlayerKeys, ARangeEndsTheShowOrStartsOver) {
    const Rig once({.from = 35, .to = 35});
    EXPECT_EQ(once.window.shown.size(), 64u) << "one order, a row a frame, and nothing of the next";

    const Rig looped({.from = 35, .to = 35, .loop = true}, {{150, Q{Command::quit}}});
    ASSERT_EQ(looped.window.shown.size(), 151u);
    // Entered again, the scene is built afresh at the same time: the second pass is the first.
    EXPECT_EQ(looped.frames(64, 128), looped.frames(0, 64));
    EXPECT_EQ(looped.frames(0, 64), once.frames(0, 64));
}

// The loop key repeats the scene on screen from its first row, built afresh as an uninterrupted
// play enters it; a seek moves the loop to the scene it enters, and a second press lets go.
TEST_F(PlayerKeys, TheLoopKeyRepeatsTheSceneOnScreen) {
    const Rig wave({.from = 32, .to = 32});
    const Rig farewell({.from = 36});
    const Rig straight({.from = 35, .to = 36});
    struct Case {
        const char* what;
        PlayRange range;
        std::map<int, std::vector<Command>> keys;
        std::size_t shows;
        // The showings from `at` are those of a straight play from its showing `from`.
        std::size_t at, count;
        const Rig& like;
        std::size_t from;
    };
    const Q loop{Command::loopScene};
    const Case cases[] = {
        {"the wave warp's last order, then its first", {.from = 35}, {{0, loop}, {100, Q{Command::quit}}}, 101, 64, 37,
         wave, 0},
        {"the farewell, at the music's end", {.from = 36}, {{0, loop}, {100, Q{Command::quit}}}, 101, 64, 37, farewell, 0},
        {"the loop follows PageDown", {.from = 35}, {{0, loop}, {1, Q{Command::nextScene}}, {140, Q{Command::quit}}}, 141,
         66, 64, farewell, 0},
        {"pressed again, the show goes on", {.from = 35}, {{0, loop}, {5, loop}}, 128, 64, 64, straight, 64},
    };
    for (const Case& c : cases) {
        const Rig rig(c.range, c.keys);
        ASSERT_EQ(rig.window.shown.size(), c.shows) << c.what;
        EXPECT_EQ(rig.frames(c.at, c.at + c.count), c.like.frames(c.from, c.from + c.count)) << c.what;
    }
    const Rig osd({.from = 35}, {{0, Q{Command::loopScene, Command::onScreenDisplay}}, {2, Q{Command::quit}}});
    ASSERT_EQ(osd.window.shown[2].overlay.corner.size(), 3u);
    EXPECT_NE(osd.window.shown[2].overlay.corner[2].find("looping"), std::string::npos);
}

TEST_F(PlayerKeys, StatsCountFramesAndTheOnesThatMissedTheirRefresh) {
    const std::regex form(
        R"(frames 11, work per frame p50 [0-9.]+ ms, p99 [0-9.]+ ms, max [0-9.]+ ms; frames late ([0-9]+) \(a display refresh missed\))");
    for (const auto& [slowShows, late] : {std::pair{std::map<int, double>{}, "0"},
                                          std::pair{std::map<int, double>{{4, 1.0 / 60.0}, {7, 0.5}}, "2"}}) {
        const Rig rig({.from = 36, .to = 36}, {{10, Q{Command::quit}}}, slowShows);
        const std::string line = rig.player->statsLine();
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, form)) << line;
        EXPECT_EQ(m[1], late) << line;
    }
}

TEST_F(PlayerKeys, AReloadDrawsTheSceneAnewWhereTheShowIsAndKeepsThePause) {
    // Paused in the wave warp; its texture "saved" at the fourth turn, the music replaced at the
    // sixth. The data is the same, so the scene built anew must draw the held frame exactly.
    int seeks = 0;
    const Rig rig({.from = 33}, {{2, Q{Command::pause}}, {9, Q{Command::quit}}}, {},
                  [&seeks](Player& player, int turn) {
                      if (turn == 4) player.reloadScenes({"Part8/texture.tex"});
                      if (turn == 6) {
                          player.musicReplaced(HandMusic::shape());
                          ++seeks;
                      }
                  });
    const auto& shown = rig.window.shown;
    ASSERT_EQ(shown.size(), 8u);  // three frames, the third held, drawn anew, held again
    for (std::size_t i = 3; i < shown.size(); ++i) EXPECT_EQ(shown[i].frame, shown[2].frame) << "showing " << i;
    EXPECT_TRUE(rig.music.paused);
    EXPECT_EQ(rig.music.order * 64 + rig.music.row, 33 * 64 + 2) << "the new music goes on from the row on screen";
    EXPECT_EQ(seeks, 1);
}

// A studio's first build: a scene whose data is not made yet waits, black under a banner while
// the music goes on, and plays from where the show is once its data comes; one the music leaves
// before then hands over to the next scene as it would have.
TEST_F(PlayerKeys, ASceneWaitsForItsDataAndPlaysWhereTheShowIsOnceItComes) {
    const std::uint32_t black = checksum(Image(frameWidth, frameHeight));
    const Rig straight({.from = 35, .to = 36});
    struct Case {
        const char* what;
        int arrives;  // the turn the texture is built at; -1 never
        std::size_t blackShows;
    };
    for (const Case& c : {Case{"built while it waits", 10, 11}, Case{"never built", -1, 64}}) {
        const Rig rig({.from = 35, .to = 36}, {}, {},
                      [&c](Player& player, int turn) {
                          if (turn == c.arrives) player.reloadScenes({"Part8/texture.tex"});
                      },
                      {"Part8/texture.tex"});
        const auto& shown = rig.window.shown;
        ASSERT_EQ(shown.size(), 128u) << c.what;
        for (std::size_t i = 0; i < c.blackShows; ++i) {
            ASSERT_EQ(shown[i].frame, black) << c.what << ", showing " << i;
            ASSERT_EQ(shown[i].overlay.banner, std::vector<std::string>{"building the wave warp …"}) << c.what;
        }
        EXPECT_EQ(rig.frames(c.blackShows, 128), straight.frames(c.blackShows, 128)) << c.what;
        EXPECT_TRUE(shown.back().overlay.banner.empty()) << c.what;
    }
}

// A click on the bar seeks there; the bar shows while the pointer is near the foot, with the
// display off. The display says "looping" for a range looped from the start, and no rate until
// one is measured.
TEST_F(PlayerKeys, TheBarSeeksAndShowsNearTheFootAndTheDisplayTellsTheState) {
    const Rig bar({.from = 33}, {{0, Q{Command::seekBar}}, {1, Q{Command::quit}}}, {}, {}, {}, Pointer{0.5, true});
    EXPECT_TRUE(bar.music.order == 18 && bar.music.row == 33) << bar.music.order << ':' << bar.music.row;
    EXPECT_EQ(bar.window.shown[1].overlay.message, (std::vector<std::string>{"order 18 · row 32   2:22 / 4:44", "the cube wave"}));
    EXPECT_TRUE(bar.window.shown[1].overlay.corner.empty());
    EXPECT_NEAR(bar.window.shown[1].overlay.progress, 0.5, 0.001);

    const Rig away({.from = 33}, {{1, Q{Command::quit}}});
    EXPECT_LT(away.window.shown[0].overlay.progress, 0.0) << "no bar with the pointer away and the display off";

    const Rig looped({.from = 35, .to = 35, .loop = true}, {{0, Q{Command::onScreenDisplay}}, {30, Q{Command::quit}}});
    EXPECT_EQ(looped.window.shown[1].overlay.corner.back(), "looping");
    EXPECT_EQ(looped.window.shown[30].overlay.corner.back(), "60 fps  looping");
}

// Paused at a frame the music has run ahead of the clock for (as the sound's delay may put them
// apart live), a frame step goes one frame on from the frame's own row, not rows away.
TEST_F(PlayerKeys, AFrameStepAfterAPauseIsOneFrameFromTheFrameOnScreen) {
    const Rig rig({.from = 33}, {{5, Q{Command::pause}}, {6, Q{Command::frameForward}}, {7, Q{Command::quit}}});
    EXPECT_TRUE(rig.music.order == 33 && rig.music.row == 5) << rig.music.order << ':' << rig.music.row;
    const double there = (33 * 64 + 5) * 0.12 + 1.0 / 60.0;
    ASSERT_EQ(rig.window.shown.size(), 7u);
    EXPECT_EQ(rig.window.shown[6].frame, checksum(*OfflineRender::still(buildShow(), 33, 5, there)));
}
