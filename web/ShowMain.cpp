// The show's entry points for the page. The page fetches the show file and the data files the
// show names into /data, then asks for a still or for live play; what goes wrong reaches the page
// as a message.
#include "platform/Timer.h"
#include "raster/DataFolder.h"
#include "raster/Image.h"
#include "show/Player.h"
#include "show/ShowFile.h"
#include "show/ShowPlan.h"
#include "show/Still.h"
#include "web/PageShow.h"
#include "web/WebControls.h"
#include "web/WebDisplay.h"
#include "web/WebMusic.h"

#include <emscripten.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// Where the page puts the files it fetched.
const DataFolder& pageData() {
    static const DataFolder data("/data");
    return data;
}

// The page's show file, read once the page has fetched it.
std::optional<ShowFile> showFile;

// The show with the music's shape, which the page's copy of the music answers once loaded.
ShowPlan plan() { return ShowPlan(pageData(), *showFile, WebMusic::shape()); }

std::vector<std::string> filesFor(int order) {
    std::vector<std::string> files;
    const Timetable& timetable = showFile->timetable;
    for (std::size_t i = 0; i < timetable.size(); ++i) {
        if (order >= 0 && i != timetable.indexPlayingAt(order)) continue;
        for (const std::string& file : timetable[i].files)
            if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    }
    return files;
}

// The show playing on the page, between the page's calls.
struct Live {
    Live(ShowPlan plan) : show(std::move(plan)), player({window, controls, music, ticks, wall}, show) {}
    ShowPlan show;
    WebDisplay window;
    WebControls controls;
    WebMusic music;
    SteadyTimer ticks;
    PreciseTimer wall;
    Player player;
};
std::unique_ptr<Live> live;

} // namespace

const ShowFile& pageShow() { return *showFile; }

EM_JS(void, tindrel_report, (const char* message), { Module.host.error(UTF8ToString(message)); });

extern "C" {

// Reads /data/show.toml, or takes the program's own show where the page found none. 0 when read,
// 2 when it failed (the page has been told why). Before anything else is asked.
EMSCRIPTEN_KEEPALIVE int tindrel_load() {
    try {
        showFile = ShowFile::load(pageData());
        return 0;
    } catch (const std::exception& e) {
        tindrel_report(e.what());
        return 2;
    }
}

// The data files the scene playing at order loads, or every scene's for a negative order, one a
// line; the page fetches them before a still or a play. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* tindrel_files(int order) {
    static std::string lines;
    lines.clear();
    for (const std::string& file : filesFor(order)) lines += file + "\n";
    return lines.c_str();
}

// Draws the frame of the position at once. 0 when drawn, 1 when no scene draws there, 2 when it
// failed (the page has been told why). The page's copy of the music is loaded.
EMSCRIPTEN_KEEPALIVE int tindrel_still(int order, int row, double seconds) {
    try {
        const std::unique_ptr<Image> frame = renderStill(plan(), order, row, seconds);
        if (!frame) return 1;
        WebDisplay().draw(*frame);
        return 0;
    } catch (const std::exception& e) {
        tindrel_report(e.what());
        return 2;
    }
}

// Builds the show and starts it from the order, with every white flash at most 40 % of white
// when gentle; the page's music is loaded and ready. Then the page calls tindrel_frame() once a
// display refresh. 0 when started, 2 when it failed (the page has been told why).
EMSCRIPTEN_KEEPALIVE int tindrel_start(int from, int gentle) {
    try {
        live.reset();
        ShowPlan show = plan();
        show.range.from = from;
        show.viewing.gentle = gentle != 0;
        live = std::make_unique<Live>(std::move(show));
        live->player.start();
        return 0;
    } catch (const std::exception& e) {
        live.reset();
        tindrel_report(e.what());
        return 2;
    }
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
