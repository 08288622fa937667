#pragma once

#include "platform/Controls.h"
#include "platform/DemoClock.h"
#include "platform/Display.h"
#include "platform/Music.h"
#include "platform/MusicShape.h"
#include "platform/Screen.h"
#include "platform/Timer.h"
#include "show/Navigation.h"
#include "show/Pacing.h"
#include "show/PlayerOverlay.h"
#include "show/Show.h"
#include "show/ShowPlan.h"
#include "show/StudioHooks.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The show as a media player plays it: its timetable's scenes in turn on the music's clock, with
// keys and the mouse that pause, seek, and lay the position or the keys over the picture. The
// player owns the frame loop, the pause and the seek state: each turn steps the show to its next
// frame, shows it, then answers the commands (PlayerCommands.cpp). Where a command leads is
// Navigation's, the text over the picture PlayerOverlay's, frame timing Pacing's, and what a
// studio hangs on the loop StudioHooks'.
//
// A seek moves the music to the new order and row, sets the show's seconds to the uninterrupted
// play's time there and enters that position's scene anew, the way a still does: built afresh
// and walked from its first row to the target without drawing, so it is in the phase an
// uninterrupted play would be in. Paused, the frame stays and the window keeps answering; a seek
// while paused shows the new frame and stays paused.
class Player : private Display {
public:
    // What the player borrows from the platform; all of it outlives the player.
    struct Platform {
        PlayerWindow& window;
        Controls& controls;
        SteerableMusic& music;
        Timer& ticks;  // counts the show's seconds
        Timer& wall;   // measures frames, at its finest resolution
    };
    using Target = Place;

    // Plays the show over its range as its viewing says; the show outlives the player, which
    // keeps its music's shape up to date when a studio replaces the music.
    Player(const Platform& platform, ShowPlan& show);
    ~Player() override;
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Builds every scene, so all their files are read before a note plays, then plays until the
    // range is over, Escape ends the last scene or the user quits. Throws LoadError as the
    // scenes do.
    void play() {
        start();
        while (turn()) {
        }
    }
    // The loop in the hands of a host that calls back once a display refresh (a browser page):
    // start() builds the scenes and starts the music, then each turn() shows one frame, drawn
    // anew or held while paused. False once the show is over; nothing is shown then.
    void start();
    bool turn();

    std::string statsLine() const { return pacing_.statsLine(); }
    const Navigation& navigation() const { return nav_; }

    // The studio's hooks (StudioHooks). onIdle runs after every frame and every turn of a pause.
    // awaitData, before start(): a scene that loads one of these files is not built but waits,
    // the picture black under a "building" banner while the music goes on, until reloadScenes
    // brings its last file.
    void onIdle(std::function<void()> idle) { hooks_.onIdle(std::move(idle)); }
    void awaitData(std::vector<std::string> dataFiles) { hooks_.awaitData(std::move(dataFiles)); }
    // Builds again every scene that loads one of these data files. The running one is entered
    // again where the show is, paused or not, and its frame drawn anew; music and clock go on.
    void reloadScenes(const std::vector<std::string>& dataFiles);
    // The music's module was replaced: it goes on from the row the show is at, in its new shape.
    void musicReplaced(MusicShape shape);
    // At the show's end the last frame stays, paused, with words over it, until a seek plays on
    // from where it leads or the user quits; without them the end ends the play.
    void holdAtEnd(std::string words) { endWords_ = std::move(words); }
    // Goes to target as a seek key would.
    void seekTo(Target target) { seek(target); }
    // Lines shown over the foot of the picture until replaced; none clears them.
    void setBanner(std::vector<std::string> lines) { hooks_.setBanner(std::move(lines)); }

private:
    // What the show's clock reads: the music and the player's timer, or, paused, the reading of
    // the frame on screen, so a frame drawn anew there is that frame. Keeps its last reading.
    class Source : public Music, public Timer {
    public:
        Source(SteerableMusic& music, Timer& timer) : music_(music), timer_(timer) {}
        void play() override {}
        std::uint32_t position() override { return last_ = held_.value_or(music_.position()); }
        double seconds() override { return lastSeconds_ = heldSeconds_.value_or(timer_.seconds()); }
        // Holds the reading of the frame on screen, or lets go of it.
        void hold(bool frame) {
            held_ = frame ? std::optional(last_) : std::nullopt;
            heldSeconds_ = frame ? std::optional(lastSeconds_) : std::nullopt;
        }
        // Holds a position sought while paused, with the timer's seconds there.
        void holdAt(std::uint32_t position) {
            held_ = position;
            heldSeconds_ = timer_.seconds();
        }
        std::uint32_t last() const { return last_; }
        double lastSeconds() const { return lastSeconds_; }

    private:
        SteerableMusic& music_;
        Timer& timer_;
        std::uint32_t last_ = 0;
        std::optional<std::uint32_t> held_;
        double lastSeconds_ = 0.0;
        std::optional<double> heldSeconds_;
    };

    // The screen's display: the frame goes to the window with the text over it.
    void present(const Image& frame) override;
    void beginFrame() override { pacing_.beginFrame(); }
    Overlay overlay();

    // A seek moves the music and the clock there; a reload leaves both where they are.
    // A seek to a time between rows (a frame step) sets the clock to that time.
    void enter(Target target, bool seek = true, std::optional<double> seconds = std::nullopt);
    // After each frame drawn: the commands, the studio, the looped scene's end, the range's end.
    void afterFrame();
    // The first row of the scene the loop key repeats.
    Target loopStart() const { return {nav_.firstOrder(*loopScene_), 0}; }
    void seek(Target target) {
        pendingSeek_ = target;
        pendingSeconds_.reset();
    }
    // One frame of the show's time on or back, paused.
    void step(int frames);
    void pause(bool paused);
    // A seek, a reload or a quit is waiting for the loop.
    bool leaving() const { return quit_ || pendingSeek_ || reloaded_; }
    Target current() const;
    // Where the next seek starts from: one not yet made, else the frame on screen.
    Target seekingFrom() const { return pendingSeek_.value_or(current()); }

    // PlayerCommands.cpp: the commands given since the last look, each to its handler.
    void obey(const std::vector<Command>& commands);
    void changeVolume(int by);
    void screenshot();
    void toggleLoop();
    void seekBy(Command command);

    Platform p_;
    ShowPlan& plan_;
    Navigation nav_;
    PlayerTimer clockTimer_;
    Source source_;
    Screen screen_;
    DemoClock clock_;
    std::unique_ptr<Show> show_;
    PlayerOverlay overlay_;
    Pacing pacing_;
    StudioHooks hooks_;

    bool paused_ = false;
    bool holding_ = false;  // the frame on screen is shown again until the pause ends
    // The scene the loop key repeats, while it does: the one on screen, or the one a seek enters.
    std::optional<std::size_t> loopScene_;
    bool quit_ = false;
    std::optional<Target> pendingSeek_;
    std::optional<double> pendingSeconds_;  // the time a frame step goes to, with pendingSeek_
    std::unique_ptr<Scene> reloaded_;
    bool waiting_ = false;  // the scene play is in waits for its data
    std::optional<std::string> endWords_;
    bool atEnd_ = false;  // held at the show's end
    // The end reached: held there when asked to be, else over.
    bool ended();
};
