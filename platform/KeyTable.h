#pragma once

#include "platform/Controls.h"

#include <span>
#include <string>
#include <vector>

// Everything the player's keys are, one row a command: the desktop's keyboard, the page's, the
// key panel, --help and the manual all read this table, so a new key is one row here and its
// handler in the player.
struct KeyBinding {
    Command command;
    // The command's name, as the page knows it.
    const char* name;
    // SDL's names of the keys, as SDL_GetKeyFromName takes them; a letter follows the user's
    // layout. The first is the one the help shows first.
    std::vector<const char*> keys;
    // The browser's names of the same keys (KeyboardEvent.key, letters in lower case).
    std::vector<const char*> browserKeys;
    // Whether a held key repeats: moving through the show may, a toggle must not flicker.
    bool repeats;
    // What the key does, in a few words.
    const char* help;
    // Shown after the keys, for what is not a key (a double-click).
    const char* alsoBy = nullptr;
};

class KeyTable {
public:
    static std::span<const KeyBinding> rows();
    // The keys of a row as the help writes them: "h, F1", "f, double-click".
    static std::string keysOf(const KeyBinding& row);
    // The key panel's lines and --help's: the keys in a column of the given width, then the help.
    static std::vector<std::string> lines(int keyColumn);
};
