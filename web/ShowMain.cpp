// The show's entry points for the page. The page fetches the show file and the data files the
// show names into /data, hands over the music's shape, then asks for a still or for live play;
// what goes wrong reaches the page as a message.
#include "platform/Timer.h"
#include "raster/Image.h"
#include "show/Player.h"
#include "show/Still.h"
#include "web/PageShow.h"
#include "web/WebControls.h"
#include "web/WebDisplay.h"
#include "web/WebMusic.h"

#include <emscripten.h>

#include <algorithm>
#include <cstddef>
#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> filesFor(int order) {
    const Timetable& timetable = PageShow::page().file().timetable;
    std::vector<std::string> files;
    for (const TimetableRow& row : timetable.rows()) {
        if (order >= 0 && &row != &timetable.playingAt(order)) continue;
        for (const std::string& file : row.files)
            if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    }
    return files;
}

// The lines of a text from the page, the empty ones left out.
std::vector<std::string> lines(const char* text) {
    std::vector<std::string> out;
    std::string line;
    for (const char* c = text; *c; ++c) {
        if (*c != '\n') {
            line += *c;
        } else if (!line.empty()) {
            out.push_back(std::move(line));
            line.clear();
        }
    }
    if (!line.empty()) out.push_back(std::move(line));
    return out;
}

// The show playing on the page, between the page's calls.
struct Live {
    explicit Live(ShowPlan& show) : player({window, controls, music, ticks, wall}, show) {}
    WebDisplay window;
    WebControls controls;
    WebMusic music;
    SteadyTimer ticks;
    PreciseTimer wall;
    Player player;
};
std::unique_ptr<Live> live;

} // namespace

EM_JS(void, tindrel_report, (const char* message), { Module.host.error(UTF8ToString(message)); });

extern "C" {

// Room for a text from the page, of size bytes with its terminating zero; valid until the next
// call.
EMSCRIPTEN_KEEPALIVE char* tindrel_text(std::size_t size) { return PageShow::page().incoming(size); }

// Reads the show file the page put in /data, or takes the program's own show where there is
// none. 0, or 2 when it failed (the page has been told why).
EMSCRIPTEN_KEEPALIVE int tindrel_read_show() {
    try {
        PageShow::page().readFile();
        return 0;
    } catch (const std::exception& e) {
        tindrel_report(e.what());
        return 2;
    }
}

// The data file of the show's music.
EMSCRIPTEN_KEEPALIVE const char* tindrel_music_file() { return PageShow::page().file().music.c_str(); }

// The data files the scene playing at order loads, or every scene's for a negative order, one a
// line; the page fetches them before a still or a play. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* tindrel_files(int order) {
    std::string text;
    for (const std::string& file : filesFor(order)) text += file + "\n";
    return PageShow::page().reply(std::move(text));
}

// Makes the show's plan from the music's shape (see PageShow::makePlan()). 0, or 2 when the music
// cannot play the show (the page has been told why).
EMSCRIPTEN_KEEPALIVE int tindrel_plan(const char* shape) {
    try {
        PageShow::page().makePlan(shape);
        return 0;
    } catch (const std::exception& e) {
        tindrel_report(e.what());
        return 2;
    }
}

// Draws the frame of the position at once. 0 when drawn, 1 when no scene draws there, 2 when it
// failed (the page has been told why). The plan is made.
EMSCRIPTEN_KEEPALIVE int tindrel_still(int order, int row, double seconds) {
    try {
        const std::unique_ptr<Image> frame = renderStill(*PageShow::page().plan(), order, row, seconds);
        if (!frame) return 1;
        WebDisplay().draw(*frame);
        return 0;
    } catch (const std::exception& e) {
        tindrel_report(e.what());
        return 2;
    }
}

// Builds the show and starts it from the order; the plan is made and the page's music ready.
// awaited names the data files still on their way, one a line: their scenes wait, the picture
// black, until tindrel_arrived() brings the last of their files. Then the page calls
// tindrel_frame() once a display refresh. 0 when started, 2 when it failed (the page has been
// told why).
EMSCRIPTEN_KEEPALIVE int tindrel_start(int from, const char* awaited) {
    try {
        live.reset();
        ShowPlan& show = *PageShow::page().plan();
        show.range = PlayRange{.from = from};
        live = std::make_unique<Live>(show);
        live->player.awaitData(lines(awaited));
        live->player.start();
        return 0;
    } catch (const std::exception& e) {
        live.reset();
        tindrel_report(e.what());
        return 2;
    }
}

// A data file the show awaited is in /data now. 0, or 2 when a scene failed to build from it (the
// page has been told why).
EMSCRIPTEN_KEEPALIVE int tindrel_arrived(const char* file) {
    if (!live) return 0;
    try {
        live->player.reloadScenes({file});
        return 0;
    } catch (const std::exception& e) {
        tindrel_report(e.what());
        return 2;
    }
}

// While the show plays: to the row at the next turn, as a key's seek goes.
EMSCRIPTEN_KEEPALIVE void tindrel_seek(int order, int row) {
    if (live) live->player.seekTo({order, row});
}

// One turn of the player's loop: a frame drawn and shown, or the paused one shown again. 1 while
// the show goes on, 0 once it is over (the music has played out, or Escape or q ended it), 2
// when it failed (the page has been told why).
EMSCRIPTEN_KEEPALIVE int tindrel_frame() {
    if (!live) return 0;
    try {
        if (live->player.turn()) return 1;
        live.reset();
        return 0;
    } catch (const std::exception& e) {
        live.reset();
        tindrel_report(e.what());
        return 2;
    }
}

} // extern "C"
