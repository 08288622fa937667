// What the page's start screen asks of the show before it plays: the scenes for its thumbnails,
// and the gentle flashes the visitor may choose.
#include "show/Scene.h"
#include "show/SheetLayout.h"
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

// The contact sheet's layout, as JSON: {"width", "height", "cellWidth", "cellHeight", "cells": [{"x",
// "y"}, ...]}, a cell a scene in the show's order. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* tindrel_sheet() {
    static std::string json;
    const int scenes = static_cast<int>(Timetable::rows().size());
    const SheetLayout layout(scenes);
    json = "{\"width\":" + std::to_string(layout.width()) + ",\"height\":" + std::to_string(layout.height()) +
           ",\"cellWidth\":" + std::to_string(SheetLayout::cellWidth) +
           ",\"cellHeight\":" + std::to_string(SheetLayout::cellHeight) + ",\"cells\":[";
    for (int i = 0; i < scenes; ++i) {
        const SheetLayout::Cell cell = layout.cell(i);
        json += std::string(i ? "," : "") + "{\"x\":" + std::to_string(cell.x) + ",\"y\":" + std::to_string(cell.y) + "}";
    }
    json += "]}";
    return json.c_str();
}

// Nonzero: every white flash and strobe reaches at most 40 % of full white, from the next frame.
EMSCRIPTEN_KEEPALIVE void tindrel_set_gentle(int gentle) { Scene::setGentleFlashes(gentle != 0); }

} // extern "C"
