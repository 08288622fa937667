#pragma once

#include "platform/Controls.h"
#include "platform/DemoClock.h"
#include "platform/Display.h"
#include "platform/Music.h"
#include "platform/Screen.h"
#include "platform/Timer.h"
#include "raster/FrameSize.h"
#include "show/Scene.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The show as a media player plays it: the timetable's scenes in turn on the music's clock, with
// keys that pause, seek, and lay the position or the keys over the picture.
//
// A seek moves the music to the new order and row, sets the show's seconds to the uninterrupted
// play's time there and enters that position's scene anew, the way a still does: built afresh
// and walked from its first row to the target without drawing, so it is in the phase an
// uninterrupted play would be in. Paused, the frame stays and the window keeps answering; a seek
// while paused shows the new frame and stays paused.
class Player {
public:
    // What the player borrows from the platform; all of it outlives the player.
    struct Platform {
        PlayerWindow& window;
        Controls& controls;
        SteerableMusic& music;
        Timer& ticks;  // counts the show's seconds
        Timer& wall;   // measures frames, at its finest resolution
        const DataFolder& data;  // where the scenes read their files
    };
    struct Range {
        int from = 0;  // the order play starts at, and a loop starts over at
        int to = -1;   // the last order played; -1 to the music's end
        bool loop = false;
    };
    struct Target {
        int order;
        int row;
    };

    Player(const Platform& platform, Range range);
    // Scenes go in reverse order of construction.
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Builds every scene, so all their files are read before a note plays, then plays until the
    // range is over, Escape is held or the user quits. Throws LoadError as the scenes do.
    void play();

    // Frame pacing over the play: "frames N, frame p50 … ms, p99 … ms, max … ms, late N". A
    // frame's time runs from its top to its present; a late frame missed its display refresh.
    std::string statsLine() const;

    // Where each key leads from a position, clamped to the music; nullopt where it leads nowhere.
    std::optional<Target> seekTarget(Command command, Target from) const;

    // Runs after every frame and every turn of a pause: where a studio looks for saved sources.
    void onIdle(std::function<void()> idle) { idle_ = std::move(idle); }
    // Builds again every scene that loads one of these data files. The running one is entered
    // again where the show is, paused or not, and its frame drawn anew; music and clock go on.
    void reloadScenes(const std::vector<std::string>& dataFiles);
    // The music's module was replaced: it goes on from the row the show is at.
    void musicReplaced();
    // Lines shown over the foot of the picture until replaced; none clears them.
    void setBanner(std::vector<std::string> lines) { banner_ = std::move(lines); }

private:
    class Frames;
    class Leaving;
    class Walking;
    friend class Frames;
    friend class Leaving;
    friend class Walking;

    // A seek moves the music and the clock there; a reload leaves both where they are.
    void enter(Target target, bool seek = true);
    void rebuild(std::size_t index);
    void presented(const Image& frame);
    void obey(const std::vector<Command>& commands);
    void seek(Target target);
    Overlay overlay();
    Target current() const;

    Platform p_;
    Range range_;
    PlayerTimer clockTimer_;
    std::unique_ptr<Frames> frames_;
    std::unique_ptr<Leaving> keys_;
    std::unique_ptr<Walking> walking_;
    Screen screen_;
    DemoClock clock_;

    std::vector<std::unique_ptr<Scene>> scenes_;
    std::vector<bool> ran_;
    std::size_t index_ = 0;

    bool paused_ = false;
    bool osd_ = false;
    bool help_ = false;
    bool quit_ = false;
    bool leaving_ = false;  // the running scene returns at its next look at the keys
    std::optional<Target> pendingSeek_;
    bool pendingReload_ = false;
    std::unique_ptr<Scene> reloaded_;
    std::function<void()> idle_;
    std::vector<std::string> banner_;

    double frameTop_ = 0.0;
    double lastPresent_ = -1.0;  // negative when the next interval says nothing of pacing
    std::vector<double> frameMilliseconds_;
    int late_ = 0;
    double rateMark_ = 0.0;
    int rateFrames_ = 0;
    int rate_ = 0;
};
