#include "platform/KeyTable.h"

std::span<const KeyBinding> KeyTable::rows() {
    static const std::vector<KeyBinding> table = {
        {Command::quit, "quit", {"Q"}, {"q"}, false, "quit at once"},
        {Command::pause, "pause", {"Space"}, {" "}, false, "pause and resume"},
        {Command::nextOrder, "nextOrder", {"Right"}, {"ArrowRight"}, true, "one order forward"},
        {Command::previousOrder, "previousOrder", {"Left"}, {"ArrowLeft"}, true, "one order back"},
        {Command::nextScene, "nextScene", {"PageDown"}, {"PageDown"}, true, "the next scene's first row"},
        {Command::previousScene, "previousScene", {"PageUp"}, {"PageUp"}, true,
         "this scene's first row; within 3 s of it, the previous scene's"},
        {Command::home, "home", {"Home"}, {"Home"}, false, "the start"},
        {Command::fullscreen, "fullscreen", {"F"}, {"f"}, false, "full screen or a window", "double-click"},
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

std::string KeyTable::keysOf(const KeyBinding& row) {
    std::string text;
    for (const char* key : row.keys) {
        if (!text.empty()) text += ", ";
        // Letters as they are typed.
        const std::string name = key;
        text += name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z' ? std::string(1, static_cast<char>(name[0] - 'A' + 'a'))
                                                                      : name;
    }
    if (row.alsoBy) text += std::string(", ") + row.alsoBy;
    return text;
}

std::vector<std::string> KeyTable::lines(int keyColumn) {
    std::vector<std::string> out;
    for (const KeyBinding& row : rows()) {
        std::string line = keysOf(row);
        line.append(line.size() < static_cast<std::size_t>(keyColumn) ? static_cast<std::size_t>(keyColumn) - line.size() : 1, ' ');
        out.push_back(line + row.help);
    }
    return out;
}
