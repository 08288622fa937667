#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The user's settings, in the form media players use: one option=value a line, the command
// line's option names without their dashes (volume=60, window, from=wave-warp), # to the end
// of a line a comment. A flag stands alone or takes yes or no. The command line wins over it.
struct ConfigFile {
    struct Setting {
        int line;
        std::string name;  // with its dashes: --volume
        std::string value;
        bool hasValue;
    };

    std::string path;  // as messages name it
    std::vector<Setting> settings;

    // $XDG_CONFIG_HOME/tindrel/tindrel.conf, else ~/.config/tindrel/tindrel.conf; empty when
    // neither variable is set.
    static std::filesystem::path defaultPath();
    // The file's settings, none when there is no file. A file that cannot be read, or a line
    // that is no setting, throws CommandLine::ConfigError "PATH:LINE: what". Bounded: a file
    // over 64 KB is refused unread.
    static ConfigFile read(const std::filesystem::path& path);
    // The same, from text already read.
    static ConfigFile parse(const std::string& path, const std::string& text);
};
