// What the page's start screen asks of the show: its facts for the screen and the tab, the
// contact sheet's layout for its thumbnails, and the gentle flashes the visitor may choose.
#include "show/SheetLayout.h"
#include "show/ShowPlan.h"
#include "web/PageShow.h"

#include <emscripten.h>

#include <cstddef>
#include <string>

extern "C" {

// The show's facts, as JSON: {"title", "author", "description", "scenes": [{"title", "first"}, ...]},
// and "length" as the player's display writes it once the plan is made. Valid until the next
// call.
EMSCRIPTEN_KEEPALIVE const char* tindrel_facts() {
    static std::string json;
    const ShowFile& file = PageShow::file();
    json = "{\"title\":" + PageShow::json(file.title) + ",\"author\":" + PageShow::json(file.author) +
           ",\"description\":" + PageShow::json(file.description);
    if (const ShowPlan* plan = PageShow::plan()) json += ",\"length\":" + PageShow::json(clockTime(plan->shape.endSeconds()));
    json += ",\"scenes\":[";
    const auto rows = file.timetable.rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        json += std::string(i ? "," : "") + "{\"title\":" + PageShow::json(rows[i].title) +
                ",\"first\":" + std::to_string(rows[i].orders.first) + "}";
    json += "]}";
    return json.c_str();
}

// The contact sheet's layout, as JSON: {"width", "height", "cellWidth", "cellHeight", "cells": [{"x",
// "y"}, ...]}, a cell a scene in the show's order. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* tindrel_sheet() {
    static std::string json;
    const int scenes = static_cast<int>(PageShow::file().timetable.size());
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

// Nonzero: gentle flashes, from the next frame. The plan is made.
EMSCRIPTEN_KEEPALIVE void tindrel_set_gentle(int gentle) {
    if (ShowPlan* plan = PageShow::plan()) plan->viewing.gentle = gentle != 0;
}

} // extern "C"
