#include "platform/KeyTable.h"

#include <algorithm>
#include <iterator>

std::span<const KeyBinding> KeyTable::rows() {
    using enum Mouse;
    static const std::vector<KeyBinding> table = {
        {Command::quit, "quit", {"Q"}, {"q"}, false, "quit at once"},
        {Command::pause, "pause", {"Space"}, {" "}, false, "pause and resume", {rightClick}},
        {Command::nextOrder, "nextOrder", {"Right"}, {"ArrowRight"}, true, "one order forward", {wheelUp}},
        {Command::previousOrder, "previousOrder", {"Left"}, {"ArrowLeft"}, true, "one order back", {wheelDown}},
        {Command::nextRow, "nextRow", {"Shift+Right"}, {"Shift+ArrowRight"}, true, "one row forward"},
        {Command::previousRow, "previousRow", {"Shift+Left"}, {"Shift+ArrowLeft"}, true, "one row back"},
        {Command::nextScene, "nextScene", {"PageDown"}, {"PageDown"}, true, "the next scene's first row"},
        {Command::previousScene, "previousScene", {"PageUp"}, {"PageUp"}, true,
         "this scene's first row; within 3 s of it, the previous scene's"},
        {Command::home, "home", {"Home"}, {"Home"}, false, "the start"},
        {Command::seekBar, "seekBar", {}, {}, false, "that moment of the show", {barClick}},
        {Command::fullscreen, "fullscreen", {"F"}, {"f"}, false, "full screen or a window", {doubleClick}},
        {Command::onScreenDisplay, "onScreenDisplay", {"O"}, {"o"}, false,
         "the position, time, title and frames per second"},
        {Command::mute, "mute", {"M"}, {"m"}, false, "mute and unmute"},
        {Command::volumeUp, "volumeUp", {"0", "Up"}, {"0", "ArrowUp"}, true, "volume up by 10 %"},
        {Command::volumeDown, "volumeDown", {"9", "Down"}, {"9", "ArrowDown"}, true, "volume down by 10 %"},
        {Command::screenshot, "screenshot", {"S"}, {"s"}, false, "save the frame as tindrel-ORDER-ROW.png"},
        {Command::frameForward, "frameForward", {"."}, {"."}, true, "pause, then one frame (1/60 s) forward"},
        {Command::frameBack, "frameBack", {","}, {","}, true, "pause, then one frame back"},
        {Command::loopScene, "loopScene", {"L"}, {"l"}, false, "repeat the scene on screen, until pressed again"},
        {Command::help, "help", {"H", "F1"}, {"h", "F1"}, false, "show the keys"},
        {Command::escape, "escape", {"Escape"}, {"Escape"}, false, "end the show"},
    };
    return table;
}

const KeyBinding* KeyTable::withMouse(Mouse action) {
    for (const KeyBinding& row : rows())
        if (std::find(row.mouse.begin(), row.mouse.end(), action) != row.mouse.end()) return &row;
    return nullptr;
}

const char* KeyTable::helpName(Mouse action) {
    switch (action) {
    case Mouse::wheelUp: return "wheel up";
    case Mouse::wheelDown: return "wheel down";
    case Mouse::rightClick: return "right click";
    case Mouse::doubleClick: return "double-click";
    case Mouse::barClick: return "click on the bar";
    }
    return "";
}

const char* KeyTable::pageName(Mouse action) {
    switch (action) {
    case Mouse::wheelUp: return "wheelUp";
    case Mouse::wheelDown: return "wheelDown";
    case Mouse::rightClick: return "rightClick";
    case Mouse::doubleClick: return "doubleClick";
    case Mouse::barClick: return "barClick";
    }
    return "";
}

std::string KeyTable::keysOf(const KeyBinding& row) {
    std::string text;
    for (const char* key : row.keys) {
        if (!text.empty()) text += ", ";
        // Letters as they are typed.
        const std::string name = key;
        text += name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z' ? std::string(1, static_cast<char>(name[0] - 'A' + 'a'))
                                                                      : name;
    }
    for (const Mouse action : row.mouse) text += (text.empty() ? "" : ", ") + std::string(helpName(action));
    return text;
}

std::vector<std::string> KeyTable::lines() {
    std::size_t column = 0;
    for (const KeyBinding& row : rows()) column = std::max(column, keysOf(row).size());
    std::vector<std::string> out;
    for (const KeyBinding& row : rows()) {
        std::string line = keysOf(row);
        line.append(column + 2 - line.size(), ' ');
        out.push_back(line + row.help);
    }
    return out;
}
