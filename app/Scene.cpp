#include "app/Scene.h"

Scene::Scene(Screen& s, DemoClock& c, Keys& k, Orders orders) : screen(s), clock(c), keys(k), orders_(orders) {}

void Scene::play(std::initializer_list<Phase> phases) {
    for (const Phase& phase : phases) {
        if (keys.escape()) continue;
        while (!phase.ended()) {
            if (!screen.wantsFrame()) {
                screen.skipFrame();
                continue;
            }
            phase.frame();
            // A frame that never composed still presents, so lock and update always pair up.
            if (!screen.locked()) screen.lock();
            screen.update();
            if (keys.escape()) break;
        }
    }
}

std::function<bool()> Scene::outsideOrders() {
    return [this] { return clock.order() < orders_.first || clock.order() > orders_.last; };
}

Screen& Scene::lock() {
    screen.lock();
    return screen;
}
