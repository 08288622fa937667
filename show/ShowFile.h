#pragma once

#include "show/Timetable.h"

#include <string>
#include <string_view>

class DataFolder;

// What a show's maker writes in its show.toml: its name and music, and which scenes play over
// which orders under which titles. Read once; every front end is handed what was read.
struct ShowFile {
    static constexpr const char* fileName = "show.toml";
    // Far beyond any show's file; a larger one is not a show file.
    static constexpr std::size_t maxBytes = 256 * 1024;
    static constexpr std::size_t maxScenes = 256;

    std::string title;
    std::string author;
    std::string description;  // one line
    std::string music;        // the module's file in the data folder
    std::string windowTitle = "Tindrel application";
    // A scene's moment whose row is negative is for the show's music to place (ShowPlan).
    Timetable timetable;
    // The program's own show, whose data the program's own tools made.
    bool isShipped = false;

    // Throws LoadError("show.toml:LINE", what) for a file that is not a show, names a kind of
    // scene the engine does not have, or places scenes other than one after the other from
    // order 0. name stands for the file in messages.
    static ShowFile parse(std::string_view text, const std::string& name = fileName);
    // The show.toml in the data folder; a folder made before shows had files plays the show
    // the program was built with.
    static ShowFile load(const DataFolder& data);
    // The show the program was built with: its own show.toml.
    static const ShowFile& shipped();
    static std::string_view shippedText();
};
