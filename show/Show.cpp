#include "show/Show.h"

Show::Show(const Stage& stage) {
    try {
        for (const TimetableRow& row : Timetable::rows()) add(stage, row);
    } catch (...) {
        while (!scenes_.empty()) scenes_.pop_back();
        throw;
    }
}

Show::Show(const Stage& stage, const TimetableRow& row) { add(stage, row); }

Show::~Show() {
    while (!scenes_.empty()) scenes_.pop_back();
}

void Show::add(const Stage& stage, const TimetableRow& row) { scenes_.push_back(row.build(stage, row.orders)); }

void Show::play(Music& music) {
    music.play();
    for (const auto& scene : scenes_) scene->run();
}
