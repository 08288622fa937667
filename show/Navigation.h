#pragma once

#include "platform/Controls.h"
#include "platform/MusicShape.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// A place in the music: an order and a row of it.
struct Place {
    int order;
    int row;
};

// Where a player's commands and clicks lead, as pure functions of the show and the place: the
// music's shape and the scenes' first orders and titles.
class Navigation {
public:
    struct Chapter {
        int first;  // the scene's first order
        std::string title;
    };
    // Where a command leads: a place to seek to, or none; and a word when it meets an end of the
    // show ("the end of the show", "the first scene") or an order the song never plays, said
    // with or instead of the place.
    struct Lead {
        std::optional<Place> to;
        std::string note;
    };

    // The shape outlives the navigation; reshaped() follows a change to it.
    Navigation(const MusicShape& shape, std::vector<Chapter> chapters);

    // Where a moving command leads from a place, clamped to the music. Commands that do not
    // move lead nowhere.
    Lead lead(Command command, Place from) const;
    // The row playing at that share of the song's length (the bar).
    Place atShare(double share) const;
    // The place within the music: an order past the last is its last, a row past the order's
    // end its last.
    Place clamped(Place place) const;
    // The scene an uninterrupted play is in at the order: the last that starts at or before it.
    std::size_t sceneAt(int order) const;
    const std::string& title(int order) const { return chapters_[sceneAt(order)].title; }
    int firstOrder(std::size_t scene) const { return chapters_[scene].first; }
    // Where each scene starts, as a share of the song, for the bar.
    const std::vector<double>& marks() const { return marks_; }

    const MusicShape& shape() const { return *shape_; }
    // The music's shape changed (a studio replaced the module).
    void reshaped();

private:
    Lead leadInSong(Command command, Place from) const;
    int rowIn(int order, int row) const;

    const MusicShape* shape_;
    std::vector<Chapter> chapters_;
    // Worked out once a song: a time from the shape is a walk of the module, too dear for every
    // frame.
    std::vector<double> marks_;
};
