// A song of another shape than the show's own: 32-row and 128-row patterns and a tempo change.
// Stills, seeks, a capture and the contact sheet must agree with what live play presents.

#include "ScriptedKeys.h"
#include "TestImages.h"
#include "app/ContactSheet.h"
#include "app/OfflineRender.h"
#include "platform/Module.h"
#include "platform/MusicShape.h"
#include "raster/DataFolder.h"
#include "show/Player.h"
#include "BuildData.h"
#include "show/ShowPlan.h"
#include "tools/SongSource.h"
#include "tools/XmWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using TestImages::checksum;

namespace {

// 37 orders, as the timetable has: 32-row patterns at even orders, 128-row ones at odd, and at
// order 9 a 128-row pattern whose row 64 slows the song from 125 to 96 beats a minute.
std::string oddSong() {
    std::string text = "song Odd Shape\nspeed 6\nbpm 125\nchannels 2\n\n"
                       "instrument 01 tick\n  bits 8\n  length 0.01\n  noise highpass 5000 decay 0.002\nend\n\n";
    auto pattern = [&text](const char* name, int rows, int slowAt) {
        text += std::string("pattern ") + name + "\n";
        for (int r = 0; r < rows; ++r) {
            const char* cell = r % 16 == 0 ? "C-4 01 ... ..." : r == slowAt ? "... .. ... F60" : "";
            text += std::to_string(r) + " | " + cell + " | \n";
        }
        text += "end\n";
    };
    pattern("short", 32, -1);
    pattern("long", 128, -1);
    pattern("slowing", 128, 64);
    for (int order = 0; order < 37; ++order)
        text += std::string("order ") + (order == 9 ? "slowing" : order % 2 ? "long" : "short") + "\n";
    return text;
}

// The build's data with the odd song in place of the show's.
fs::path oddData() {
    const fs::path dir = TestImages::scratch("odd-shape");
    for (const auto& entry : fs::directory_iterator(TINDREL_BUILD_DATA_DIR))
        if (entry.path().filename() != "Super.xm") fs::create_directory_symlink(entry.path(), dir / entry.path().filename());
    const std::vector<std::uint8_t> bytes = writeXm(compileSongText(oddSong(), "odd.song"));
    std::ofstream(dir / "Super.xm", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                           static_cast<std::streamsize>(bytes.size()));
    return dir;
}

// The build's data with the odd song, made once for the test program.
const DataFolder& odd() {
    static const DataFolder folder(oddData());
    return folder;
}

// Its show, a copy for each caller.
ShowPlan oddShow() {
    static const ShowPlan show = ShowLoad::load(odd());
    return show;
}

// The module itself, moved on by rendering to the show's time as a capture moves it: a sample
// ahead, so a time on a row's start reads that row.
struct RenderedMusic : SteerableMusic {
    std::unique_ptr<Module> module = Module::loadTimeline(odd(), "Super.xm");
    MusicShape shape = oddShow().shape;
    double start = 0.0;
    std::uint64_t rendered = 0;
    bool playing = false, paused = false, silent = false;
    void play() override { playing = true; }
    std::uint32_t position() override { return module->position(); }
    double seek(int order, int row) override {
        module->seek(order, row);
        start = shape.secondsAt(order, row);
        rendered = 0;
        return start;
    }
    void setPaused(bool p) override { paused = p; }
    void setMuted(bool m) override { silent = m; }
    bool muted() const override { return silent; }
    void advanceTo(double seconds) {
        if (!playing || paused) return;
        const auto target = static_cast<std::uint64_t>(std::llround(std::max(0.0, seconds - start) * Module::sampleRate)) + 1;
        std::vector<float> scratch(2 * (target - std::min(target, rendered)));
        module->render(scratch.data(), scratch.size() / 2);
        rendered = std::max(rendered, target);
    }
};

struct Shown {
    std::uint32_t frame;
    std::uint32_t position;
    double seconds;
    std::shared_ptr<Image> kept;  // every 37th frame's pixels
};

// Each show is a sixtieth of a second of the show's time, counted as a capture counts it.
struct Window : PlayerWindow {
    RenderedMusic& music;
    ManualTimer& ticks;
    std::vector<Shown> shown;
    Window(RenderedMusic& m, ManualTimer& t) : music(m), ticks(t) {}
    void show(const Image& frame, const Overlay&) override {
        std::shared_ptr<Image> kept;
        if (shown.size() % 37 == 0) {
            kept = std::make_shared<Image>(frame.width(), frame.height());
            kept->blit(0, 0, frame);
        }
        shown.push_back({checksum(frame), music.position(), music.start + ticks.seconds(), kept});
        ticks.set(static_cast<double>(shown.size()) / 60.0);
        music.advanceTo(music.start + ticks.seconds());
    }
    void toggleFullscreen() override {}
    double refreshSeconds() const override { return 1.0 / 60.0; }
};

std::vector<Shown> livePlay(PlayRange range, std::map<int, std::vector<Command>> script = {}) {
    RenderedMusic music;
    ManualTimer ticks, wall;
    Window window(music, ticks);
    ScriptedKeys keys;
    keys.script = std::move(script);
    ShowPlan show = oddShow();
    show.range = range;
    Player player({window, keys, music, ticks, wall}, show);
    player.play();
    return window.shown;
}

} // namespace

TEST(OddShape, StillsCapturesSeeksAndTheSheetAgreeWithLivePlay) {
    const ShowPlan show = oddShow();
    const MusicShape& shape = show.shape;
    ASSERT_EQ(shape.orderCount(), 37);
    EXPECT_EQ(shape.rowsIn(8), 32);
    EXPECT_EQ(shape.rowsIn(9), 128);

    // Live play of the opening's last orders, 32 rows then 128 (its flash runs until row 32 of
    // an order, which order 2 never reaches), and of the scroller's: 32, 128 slowing halfway, 32.
    const std::vector<Shown> opening = livePlay({.from = 2, .to = 3});
    const std::vector<Shown> live = livePlay({.from = 8, .to = 10});
    ASSERT_GT(live.size(), 100u);
    EXPECT_EQ(Music::orderOf(live.back().position), 10);

    // A still at the first frame of each row is that frame, and a still without seconds takes
    // the time live play reached the row, within the frame.
    int checked = 0;
    for (const std::vector<Shown>* play : {&opening, &live}) {
        for (std::size_t i = 1; i < play->size(); ++i) {
            const Shown& at = (*play)[i];
            if (at.position == (*play)[i - 1].position) continue;
            const int order = Music::orderOf(at.position), row = Music::rowOf(at.position);
            const double reached = shape.secondsAt(order, row);
            EXPECT_LE(reached, at.seconds + 1e-9) << order << ':' << row;
            EXPECT_GT(reached, at.seconds - 1.0 / 60.0 - 1e-9) << order << ':' << row;
            if (row % 24 == 1 || (order == 9 && row >= 64 && row <= 66)) {
                const auto still = OfflineRender::still(show, order, row, at.seconds);
                ASSERT_TRUE(still) << order << ':' << row;
                EXPECT_EQ(checksum(*still), at.frame) << "still at " << order << ':' << row;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 12);

    // A capture of the same orders is the same frames.
    const fs::path out = TestImages::scratch("odd-shape-capture");
    OfflineRender::CaptureOptions o;
    o.directory = out;
    o.progress = false;
    ShowPlan captured = oddShow();
    captured.range = {.from = 8, .to = 10};
    ASSERT_EQ(OfflineRender::capture(captured, o).frames, static_cast<int>(live.size()));
    for (std::size_t i = 0; i < live.size(); i += 37) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06zu.png", i);
        const TestImages::Png png = TestImages::readPng(out / name);
        ASSERT_TRUE(live[i].kept);
        int differing = 0;
        for (int y = 0; y < png.height; ++y)
            for (int x = 0; x < png.width; ++x) {
                const Color a = png.at(x, y), b = live[i].kept->at(x, y);
                differing += a.r != b.r || a.g != b.g || a.b != b.b;
            }
        EXPECT_EQ(differing, 0) << name;
    }

    // Paused in order 9 and sent one order on: the frame is the still at the new position, its
    // row kept within the 32 rows order 10 has.
    const std::vector<Shown> sought =
        livePlay({.from = 9}, {{1, {Command::pause}}, {3, {Command::nextOrder}}, {6, {Command::quit}}});
    ASSERT_EQ(sought.size(), 5u);
    EXPECT_EQ(sought[3].position, Music::pack(10, 0));
    EXPECT_EQ(sought[3].frame, checksum(*OfflineRender::still(show, 10, 0, shape.secondsAt(10, 0))));

    // The sheet places the scroller's moment at the time the music reaches it.
    const TimetableRow& scroller = show.timetable().playingAt(8);
    const auto moment = std::find_if(live.begin(), live.end(), [&](const Shown& s) {
        return s.position == Music::pack(scroller.moment.order, scroller.moment.row);
    });
    ASSERT_NE(moment, live.end());
    EXPECT_NEAR(ContactSheet::momentSeconds(shape, scroller.moment), moment->seconds, 1.0 / 60.0);
}
