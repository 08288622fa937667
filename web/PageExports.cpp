// What the page's start screen asks of the show before it plays: the show's name, its music and
// its scenes, as the show file gives them (tindrel_load() has read it).
#include "show/ShowPlan.h"
#include "web/PageShow.h"
#include "web/WebMusic.h"

#include <emscripten.h>

#include <string>

extern "C" {

// One scene a line, in the show's order: its first order, a tab, its title. Valid until the
// next call.
EMSCRIPTEN_KEEPALIVE const char* tindrel_scenes() {
    static std::string lines;
    lines.clear();
    for (const TimetableRow& row : pageShow().timetable.rows())
        lines += std::to_string(row.orders.first) + "\t" + row.title + "\n";
    return lines.c_str();
}

// The show's title, author and description, and the music's file, one a line.
EMSCRIPTEN_KEEPALIVE const char* tindrel_show() {
    static std::string lines;
    const ShowFile& file = pageShow();
    lines = file.title + "\n" + file.author + "\n" + file.description + "\n" + file.music + "\n";
    return lines.c_str();
}

// The music's length as the player's display writes it; the page's copy of the music is loaded.
EMSCRIPTEN_KEEPALIVE const char* tindrel_length() {
    static std::string text;
    text = clockTime(WebMusic::shape().endSeconds());
    return text.c_str();
}

} // extern "C"
