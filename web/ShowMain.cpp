// The show's entry points for the page. The page fetches the data files the show names into
// /data, then asks for a still or for live play; what goes wrong reaches the page as a message.
#include "platform/Timer.h"
#include "raster/DataFolder.h"
#include "raster/Image.h"
#include "show/Player.h"
#include "show/Still.h"
#include "show/Timetable.h"
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

// Where the page puts the files it fetched.
const DataFolder& pageData() {
    static const DataFolder data("/data");
    return data;
}

std::vector<std::string> filesFor(int order) {
    std::vector<std::string> files;
    for (const TimetableRow& row : Timetable::rows()) {
        if (order >= 0 && &row != &Timetable::playingAt(order)) continue;
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
    explicit Live(int from) : player({window, controls, music, ticks, wall, pageData()}, WebMusic::shape(), {.from = from}) {}
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
        const std::unique_ptr<Image> frame = renderStill(pageData(), WebMusic::shape(), order, row, seconds);
        if (!frame) return 1;
        WebDisplay().draw(*frame);
        return 0;
    } catch (const std::exception& e) {
        tindrel_report(e.what());
        return 2;
    }
}

// Room for a text from the page, of size bytes with its terminating zero; valid until the next
// call.
EMSCRIPTEN_KEEPALIVE char* tindrel_text(std::size_t size) {
    static std::vector<char> text;
    text.assign(size + 1, '\0');
    return text.data();
}

// Builds the show and starts it from the order; the page's music is loaded and ready. awaited
// names the data files still on their way, one a line: their scenes wait, the picture black,
// until tindrel_arrived() brings the last of their files. Then the page calls tindrel_frame()
// once a display refresh. 0 when started, 2 when it failed (the page has been told why).
EMSCRIPTEN_KEEPALIVE int tindrel_start(int from, const char* awaited) {
    try {
        live.reset();
        live = std::make_unique<Live>(from);
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
