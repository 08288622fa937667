#include "app/Show.h"

#include "scenes/Scene1.h"
#include "scenes/Scene2.h"
#include "scenes/Scene3.h"
#include "scenes/Scene4.h"
#include "scenes/Scene5.h"
#include "scenes/Scene6.h"
#include "scenes/Scene7.h"
#include "scenes/Scene8.h"
#include "scenes/Scene9.h"

Show::Show(Screen& screen, DemoClock& clock, Keys& keys) {
    try {
        scenes_.push_back(std::make_unique<Scene1>(screen, clock, keys));
        scenes_.push_back(std::make_unique<Scene2>(screen, clock, keys));
        scenes_.push_back(std::make_unique<Scene3>(screen, clock, keys));
        scenes_.push_back(std::make_unique<Scene4>(screen, clock, keys));
        scenes_.push_back(std::make_unique<Scene5>(screen, clock, keys));
        scenes_.push_back(std::make_unique<Scene6>(screen, clock, keys));
        scenes_.push_back(std::make_unique<Scene7>(screen, clock, keys));
        scenes_.push_back(std::make_unique<Scene8>(screen, clock, keys));
        scenes_.push_back(std::make_unique<Scene9>(screen, clock, keys));
    } catch (...) {
        while (!scenes_.empty()) scenes_.pop_back();
        throw;
    }
}

Show::~Show() {
    while (!scenes_.empty()) scenes_.pop_back();
}

int Show::sceneStart(int order) const {
    int start = 0;
    for (const auto& scene : scenes_)
        if (scene->orders().first <= order) start = scene->orders().first;
    return start;
}

void Show::play(Music& music) {
    music.play();
    for (const auto& scene : scenes_) scene->run();
}
