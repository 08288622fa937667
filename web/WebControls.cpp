#include "web/WebControls.h"

#include "platform/KeyTable.h"

#include <emscripten.h>

#include <cstddef>
#include <string>

EM_JS(void, tindrel_key_table, (const char* rows), { Module.host.keyTable(UTF8ToString(rows)); });
EM_JS(int, tindrel_next_command, (), { return Module.host.nextCommand(); });
EM_JS(int, tindrel_escape_pending, (), { return Module.host.escapePending() ? 1 : 0; });
EM_JS(int, tindrel_escape, (), { return Module.host.escape() ? 1 : 0; });

// A line a row, numbered by its place: the command's name, its keys as the browser names them,
// and whether a held key repeats, split by tabs, the keys by the unit separator (" " is Space).
WebControls::WebControls() {
    std::string rows;
    for (const KeyBinding& row : KeyTable::rows()) {
        rows += std::string(row.name) + '\t';
        for (std::size_t i = 0; i < row.browserKeys.size(); ++i)
            rows += (i ? "\x1f" : "") + std::string(row.browserKeys[i]);
        rows += std::string("\t") + (row.repeats ? "1" : "0") + '\n';
    }
    tindrel_key_table(rows.c_str());
}

bool WebControls::escape() { return tindrel_escape() != 0; }

bool WebControls::escapePending() { return tindrel_escape_pending() != 0; }

std::vector<Command> WebControls::commands() {
    const auto rows = KeyTable::rows();
    std::vector<Command> given;
    for (int code; (code = tindrel_next_command()) >= 0;)
        if (static_cast<std::size_t>(code) < rows.size()) given.push_back(rows[static_cast<std::size_t>(code)].command);
    return given;
}
