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
    PageShow& page = PageShow::page();
    const ShowFile& file = page.file();
    const auto json = PageShow::json;
    std::string facts = "{\"title\":" + json(file.title) + ",\"author\":" + json(file.author) +
                        ",\"description\":" + json(file.description);
    if (const ShowPlan* plan = page.plan()) facts += ",\"length\":" + json(clockTime(plan->shape.endSeconds()));
    facts += ",\"scenes\":[";
    const auto rows = file.timetable.rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        facts += std::string(i ? "," : "") + "{\"title\":" + json(rows[i].title) +
                 ",\"first\":" + std::to_string(rows[i].orders.first) + "}";
    return page.reply(facts + "]}");
}

// The contact sheet's layout, as JSON: {"width", "height", "cellWidth", "cellHeight", "cells": [{"x",
// "y"}, ...]}, a cell a scene in the show's order. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* tindrel_sheet() {
    PageShow& page = PageShow::page();
    const int scenes = static_cast<int>(page.file().timetable.size());
    const SheetLayout layout(scenes);
    std::string json = "{\"width\":" + std::to_string(layout.width()) + ",\"height\":" + std::to_string(layout.height()) +
           ",\"cellWidth\":" + std::to_string(SheetLayout::cellWidth) +
           ",\"cellHeight\":" + std::to_string(SheetLayout::cellHeight) + ",\"cells\":[";
    for (int i = 0; i < scenes; ++i) {
        const SheetLayout::Cell cell = layout.cell(i);
        json += std::string(i ? "," : "") + "{\"x\":" + std::to_string(cell.x) + ",\"y\":" + std::to_string(cell.y) + "}";
    }
    return page.reply(json + "]}");
}

// Nonzero: gentle flashes, from the next frame. The plan is made.
EMSCRIPTEN_KEEPALIVE void tindrel_set_gentle(int gentle) {
    if (ShowPlan* plan = PageShow::page().plan()) plan->viewing.gentle = gentle != 0;
}

} // extern "C"
