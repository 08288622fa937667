#pragma once

#include "platform/MusicShape.h"
#include "raster/DataFolder.h"
#include "show/Scene.h"
#include "show/ShowFile.h"

#include <cstdint>
#include <string>

// Where play starts and stops, each end an order and row of the music, as the command line or the
// page asked for them.
struct PlayRange {
    int from = 0;  // the order play starts at, and a loop starts over at
    int fromRow = 0;
    int to = -1;     // the last order played; -1 to the music's end
    int toRow = -1;  // the last row played of that order; -1 all of it
    bool loop = false;  // play from..to again until Escape or q

    // Whether the music at this position (Music's packing) is past the last row played: the
    // music's end always is.
    bool past(std::uint32_t position) const;
    // Throws std::invalid_argument when to comes before from.
    void check() const;
};

// The show as every front end plays it: built once from the show file and the data folder, then
// handed to the player, a capture, a still, the contact sheet, the studio or the page, which
// follow it rather than know a show of their own.
class ShowPlan {
public:
    // The data folder's show and music shape, checked against each other: every scene's orders
    // and moment lie in the song. Throws LoadError("show.toml:LINE", what) for a show the music
    // or the data cannot play.
    ShowPlan(DataFolder data, ShowFile file, MusicShape shape);

    // Throws LoadError("show.toml:LINE", what) naming a scene whose folder lacks a file its kind
    // loads, before any scene is built. The program's own show leaves that to the scenes' own
    // loaders, whose messages name the file.
    void checkFiles() const;

    const Timetable& timetable() const { return file.timetable; }

    DataFolder data;
    ShowFile file;
    MusicShape shape;
    PlayRange range;
    Viewing viewing;
};

// "4:44", or "4:13.47" when fine; never rounded up past the time. The one way the show's times
// are written, on the display, the start screen and in messages.
std::string clockTime(double seconds, bool fine = false);
