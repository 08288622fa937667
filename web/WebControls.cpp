#include "web/WebControls.h"

#include <emscripten.h>

#include <array>
#include <cstddef>
#include <string>
#include <utility>

namespace {

// The names the page gives the commands; the page numbers them in this order.
constexpr std::array<std::pair<const char*, Command>, 11> named{{
    {"quit", Command::quit},
    {"pause", Command::pause},
    {"nextOrder", Command::nextOrder},
    {"previousOrder", Command::previousOrder},
    {"nextScene", Command::nextScene},
    {"previousScene", Command::previousScene},
    {"home", Command::home},
    {"fullscreen", Command::fullscreen},
    {"onScreenDisplay", Command::onScreenDisplay},
    {"mute", Command::mute},
    {"help", Command::help},
}};

} // namespace

EM_JS(void, tindrel_command_names, (const char* names), { Module.host.commandNames(UTF8ToString(names).split(',')); });
EM_JS(int, tindrel_next_command, (), { return Module.host.nextCommand(); });
EM_JS(int, tindrel_escape_pending, (), { return Module.host.escapePending() ? 1 : 0; });
EM_JS(int, tindrel_escape, (), { return Module.host.escape() ? 1 : 0; });
EM_ASYNC_JS(void, tindrel_wait, (int milliseconds), { await Module.host.waitForInput(milliseconds); });

WebControls::WebControls() {
    std::string names;
    for (const auto& [name, command] : named) names += (names.empty() ? "" : ",") + std::string(name);
    tindrel_command_names(names.c_str());
}

bool WebControls::escape() { return tindrel_escape() != 0; }

bool WebControls::escapePending() { return tindrel_escape_pending() != 0; }

std::vector<Command> WebControls::commands() {
    std::vector<Command> given;
    for (int code; (code = tindrel_next_command()) >= 0;)
        if (static_cast<std::size_t>(code) < named.size()) given.push_back(named[static_cast<std::size_t>(code)].second);
    return given;
}

void WebControls::wait(int milliseconds) { tindrel_wait(milliseconds); }
