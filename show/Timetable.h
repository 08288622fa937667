#pragma once

#include "show/Scene.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A kind of scene the engine can play: its drawing, the files it loads and the folder they are
// in unless its show says otherwise. A show plays any of them, in any order, any number of times.
struct SceneKind {
    const char* name;
    const char* folder;
    // Every data file the scene loads from its folder, in the order it loads them.
    std::vector<const char*> files;
    Scene::Build build;

    static std::span<const SceneKind> all();
    // Null when no kind has that name.
    static const SceneKind* named(std::string_view name);
};

// One scene of a show, as its show file places it: everything the program knows of a scene
// besides its drawing. Live play, stills, captures, the contact sheet and the tests all read it.
struct TimetableRow {
    // A telling moment of the scene, away from its flashes, for the contact sheet.
    struct Moment {
        int order;
        int row;
    };

    std::string title;
    Scene::Orders orders;
    Scene::Build build;
    Moment moment;
    // Every data file the scene loads, in the order it loads them: a change to one of them
    // calls for this scene to be built again.
    std::vector<std::string> files;
    std::string kind;
    std::string folder;
    int line = 0;  // where the show file places it, for messages about it

    Scene::Slot slot() const { return {orders, folder}; }
    std::unique_ptr<Scene> make(const Stage& stage) const { return build(stage, slot()); }
    // The row of a kind of scene placed at orders, reading its files from folder.
    static TimetableRow of(const SceneKind& kind, std::string title, Scene::Orders orders, Moment moment,
                           std::string folder);
};

// A show's scenes in playing order, each over its own orders, the next from the order after the
// last one's.
class Timetable {
public:
    Timetable() = default;
    explicit Timetable(std::vector<TimetableRow> rows) : rows_(std::move(rows)) {}

    std::span<const TimetableRow> rows() const { return rows_; }
    std::size_t size() const { return rows_.size(); }
    const TimetableRow& operator[](std::size_t i) const { return rows_[i]; }
    // The scene an uninterrupted play is in at order: the last one whose first order is at or
    // before it. Past the end that is the last, whose scene then draws nothing.
    std::size_t indexPlayingAt(int order) const;
    const TimetableRow& playingAt(int order) const { return rows_[indexPlayingAt(order)]; }
    // The scene of that title as typed: any case, dashes for spaces, with or without a leading
    // "the". Null when none has it.
    const TimetableRow* titled(std::string_view title) const;
    // The titles, separated by ", ".
    std::string titles() const;

private:
    std::vector<TimetableRow> rows_;
};
