#pragma once

#include "platform/Music.h"
#include "show/Scene.h"
#include "show/Timetable.h"

#include <memory>
#include <vector>

// Scenes of the timetable, built in playing order. Constructing it loads every asset of every
// scene it holds, so all their files are read before a note plays; a file that cannot be loaded
// throws LoadError.
class Show {
public:
    // The whole show.
    explicit Show(const Stage& stage);
    // One row's scene alone, for a frame that needs no other.
    Show(const Stage& stage, const TimetableRow& row);
    // Scenes go in reverse order of construction.
    ~Show();
    Show(const Show&) = delete;
    Show& operator=(const Show&) = delete;

    // Starts the music and runs every scene once, in order, whatever Escape does: a held key
    // makes each remaining run return at once.
    void play(Music& music);

private:
    void add(const Stage& stage, const TimetableRow& row);

    std::vector<std::unique_ptr<Scene>> scenes_;
};
