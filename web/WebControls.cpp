#include "web/WebControls.h"

#include "platform/KeyTable.h"

#include <emscripten.h>

#include <cstddef>
#include <string>

EM_JS(void, tindrel_key_table, (const char* rows), { Module.host.keyTable(UTF8ToString(rows)); });
EM_JS(int, tindrel_next_command, (), { return Module.host.nextCommand(); });
EM_JS(int, tindrel_escape_pending, (), { return Module.host.escapePending() ? 1 : 0; });
EM_JS(int, tindrel_escape, (), { return Module.host.escape() ? 1 : 0; });
// The pointer, where the page tells it: a page that does not yet gives none.
EM_JS(double, tindrel_bar_share, (), { return Module.host.barShare ? Module.host.barShare() : 0; });
EM_JS(int, tindrel_pointer_at_foot, (), { return Module.host.pointerAtFoot && Module.host.pointerAtFoot() ? 1 : 0; });

// A line a row, numbered by its place: the command's name, its keys as the browser names them
// ("Shift+" before one that needs Shift held), whether a held key repeats, and the mouse actions
// that give it (wheelUp, wheelDown, rightClick, doubleClick, barClick), split by tabs, the keys
// and the actions by the unit separator (" " is Space). The page reads the same table the
// desktop's window does, so its mouse does what the window's does.
WebControls::WebControls() {
    std::string rows;
    for (const KeyBinding& row : KeyTable::rows()) {
        rows += std::string(row.name) + '\t';
        for (std::size_t i = 0; i < row.browserKeys.size(); ++i)
            rows += (i ? "\x1f" : "") + std::string(row.browserKeys[i]);
        rows += std::string("\t") + (row.repeats ? "1" : "0") + '\t';
        for (std::size_t i = 0; i < row.mouse.size(); ++i)
            rows += (i ? "\x1f" : "") + std::string(KeyTable::pageName(row.mouse[i]));
        rows += '\n';
    }
    tindrel_key_table(rows.c_str());
}

double WebControls::barShare() const { return tindrel_bar_share(); }

bool WebControls::pointerAtFoot() const { return tindrel_pointer_at_foot() != 0; }

bool WebControls::escape() { return tindrel_escape() != 0; }

bool WebControls::escapePending() { return tindrel_escape_pending() != 0; }

std::vector<Command> WebControls::commands() {
    const auto rows = KeyTable::rows();
    std::vector<Command> given;
    for (int code; (code = tindrel_next_command()) >= 0;)
        if (static_cast<std::size_t>(code) < rows.size()) given.push_back(rows[static_cast<std::size_t>(code)].command);
    return given;
}
