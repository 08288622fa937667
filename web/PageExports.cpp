// What the page's start screen asks of the show before it plays: the scenes for its thumbnails,
// and the gentle flashes the visitor may choose.
#include "show/Scene.h"
#include "show/Timetable.h"

#include <emscripten.h>

#include <string>

extern "C" {

// One scene a line, in the show's order: its first order, a tab, its title. Valid until the
// next call.
EMSCRIPTEN_KEEPALIVE const char* tindrel_scenes() {
    static std::string lines;
    lines.clear();
    for (const TimetableRow& row : Timetable::rows())
        lines += std::to_string(row.orders.first) + "\t" + std::string(row.title) + "\n";
    return lines.c_str();
}

// Nonzero: every white flash and strobe reaches at most 40 % of full white, from the next frame.
EMSCRIPTEN_KEEPALIVE void tindrel_set_gentle(int gentle) { Scene::setGentleFlashes(gentle != 0); }

} // extern "C"
