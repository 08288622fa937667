#pragma once

#include "platform/MusicShape.h"
#include "show/Scene.h"
#include "show/Timetable.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <vector>

// Scenes of a timetable in playing order, stepped one frame at a time by whoever owns the
// frame loop: the player, a capture, a still, a test, the page.
//
// Constructing it loads every asset of every scene it holds, so all their files are read before
// a note plays; a file that cannot be loaded throws LoadError.
//
// step() is the frame protocol. For every phase in turn: Escape is read before its first frame
// and after each frame, and a key that reads down ends the phase there; a later phase that still
// finds it down ends before drawing, so a held key ends the show. Otherwise each frame reads the
// clock once, tests the phase's end on that reading and, when it has not ended, draws and
// presents the frame on it. A scene whose phases have all ended hands over to the next.
class Show {
public:
    // One row's scene alone, for a frame that needs no other.
    Show(const Stage& stage, const TimetableRow& row) : Show(stage, std::span<const TimetableRow>(&row, 1)) {}
    // The rows waiting says so are not built: their data is still being made. Such a scene
    // waits, drawing nothing, until replace() brings it. The rows outlive the show.
    using Waiting = std::function<bool(const TimetableRow& row)>;
    Show(const Stage& stage, std::span<const TimetableRow> rows, const Waiting& waiting = {});
    // Scenes go in reverse order of construction.
    ~Show();
    Show(const Show&) = delete;
    Show& operator=(const Show&) = delete;

    enum class Step {
        drawn,  // a frame was presented
        over,   // the last scene has ended
        waiting,  // the scene play is in is not built: nothing drawn, the show is at the clock
    };
    // Plays on to the next presented frame, or to the end of the last scene. A scene not built
    // is left as one that plays is, by Escape or the music past its orders; until then the step
    // says it waits.
    Step step();

    // Play goes on from the first phase of the scene, built afresh if it has played before: a
    // scene entered again starts as new. An index past the last is the end of the show.
    void enter(std::size_t scene);
    // Enters the scene, then passes its phases' end tests over each row from its first order's
    // first row up to the target, without drawing and without reading the keys: the next step
    // is in the phase an uninterrupted play is in at the target.
    void enterAt(std::size_t scene, const MusicShape& shape, const Position& target);

    std::size_t size() const { return scenes_.size(); }
    // The scene play is in; size() once the show is over.
    std::size_t current() const { return scene_; }
    const TimetableRow& row(std::size_t scene) const { return rows_[scene]; }
    bool built(std::size_t scene) const { return scene < scenes_.size() && scenes_[scene]; }
    // Puts a scene built anew from its row in place of the one held. The running scene is then
    // the caller's to enter again.
    void replace(std::size_t scene, std::unique_ptr<Scene> built);
    const Stage& stage() const { return stage_; }
    // Flashes are timed by the wall: live play, where pauses and seeks take real time.
    void timeFlashesBy(Timer& wall) { flashes_.timeBy(wall); }

private:
    void add(const TimetableRow& row, bool build = true);
    // Starts the current scene's first phase, building the scene anew if it has played.
    void begin();
    // Moves on to the next phase, or the next scene's first.
    void endPhase();

    Stage stage_;
    std::span<const TimetableRow> rows_;
    std::vector<std::unique_ptr<Scene>> scenes_;
    std::vector<bool> played_;

    std::size_t scene_ = 0;
    std::vector<Scene::Phase> phases_;
    std::size_t phase_ = 0;
    bool entered_ = false;      // the scene's phases are asked for
    bool phaseBegun_ = false;   // Escape was read at the phase's start
    bool afterFrame_ = false;   // a frame was presented and the key not yet read after it
    FlashGuard flashes_;
    bool moved_ = false;        // play was moved (a seek, a scene entered) since the last frame
};
