#pragma once

#include "app/Scene.h"
#include "platform/Music.h"

#include <memory>
#include <vector>

// The scenes of the show, in playing order. Constructing it loads every asset of every scene,
// so all files are read before a note plays; a file that cannot be loaded throws LoadError.
class Show {
public:
    Show(Screen& screen, DemoClock& clock, Keys& keys);
    // Scenes go in reverse order of construction.
    ~Show();
    Show(const Show&) = delete;
    Show& operator=(const Show&) = delete;

    // Starts the music and runs every scene once, in order, whatever Escape does: a held key
    // makes each remaining run return at once.
    void play(Music& music);

    // Where an uninterrupted play enters the scene playing at order: the scene's first order.
    // Replaying from there reaches the phase running at any position within the scene.
    int sceneStart(int order) const;

private:
    std::vector<std::unique_ptr<Scene>> scenes_;
};
