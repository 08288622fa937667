#pragma once

#include "platform/Controls.h"

#include <span>
#include <string>
#include <vector>

// What the pointer does, as media players have it.
enum class Mouse {
    wheelUp,
    wheelDown,
    rightClick,
    doubleClick,
    barClick,  // a click or a drag on the progress bar, which shows while the pointer is near it
};

// Everything the player's keys and mouse actions are, one row a command: the desktop's keyboard
// and mouse, the page's, the key panel, --help and the manual all read this table, so a new key
// or mouse action is one row here and its handler in the player.
struct KeyBinding {
    Command command;
    // The command's name, as the page knows it.
    const char* name;
    // SDL's names of the keys, as SDL_GetKeyFromName takes them, with "Shift+" before a key
    // that needs Shift held; a letter follows the user's layout. The first is the one the help
    // shows first.
    std::vector<const char*> keys;
    // The browser's names of the same keys (KeyboardEvent.key, letters in lower case), "Shift+"
    // as for SDL's.
    std::vector<const char*> browserKeys;
    // Whether a held key repeats: moving through the show may, a toggle must not flicker.
    bool repeats;
    // What the key does, in a few words.
    const char* help;
    // What the pointer does to give the same command, shown after the keys.
    std::vector<Mouse> mouse = {};
};

class KeyTable {
public:
    static std::span<const KeyBinding> rows();
    // The row the action gives, null for none.
    static const KeyBinding* withMouse(Mouse action);
    // The action as the help writes it ("wheel up") and as the page knows it ("wheelUp").
    static const char* helpName(Mouse action);
    static const char* pageName(Mouse action);
    // The keys and mouse actions of a row as the help writes them: "h, F1", "f, double-click".
    static std::string keysOf(const KeyBinding& row);
    // The key panel's lines and --help's: the keys in a column as wide as the widest and two
    // spaces, then the help.
    static std::vector<std::string> lines();
};
