#pragma once

#include "show/Scene.h"

#include <span>
#include <string>
#include <vector>

// The show, one row a scene in playing order: everything the program knows of a scene besides
// its drawing. Live play, stills, captures, the contact sheet and the tests all read it, so a
// new scene is one file and one row.
struct TimetableRow {
    // A telling moment of the scene, away from its flashes, for the contact sheet.
    struct Moment {
        int order;
        int row;
    };

    const char* title;
    Scene::Orders orders;
    Scene::Build build;
    Moment moment;
    // Every data file the scene loads, in the order it loads them: a change to one of them
    // calls for this scene to be built again.
    std::vector<std::string> files;
};

class Timetable {
public:
    static std::span<const TimetableRow> rows();
    // The row an uninterrupted play is in at order: the last one whose first order is at or
    // before it. Past the end that is the last row, whose scene then draws nothing.
    static const TimetableRow& playingAt(int order);
    // Null when no row has that title.
    static const TimetableRow* titled(const std::string& title);
};
