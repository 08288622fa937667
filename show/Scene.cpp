#include "show/Scene.h"

Scene::Scene(const Stage& stage, Orders orders)
    : screen(stage.screen), clock(stage.clock), keys(stage.keys), orders_(orders) {}

void Scene::play(std::initializer_list<Phase> phases) {
    for (const Phase& phase : phases) {
        if (keys.escape()) continue;
        for (;;) {
            const Position now = clock.now();
            if (phase.ended(now)) break;
            if (!screen.wantsFrame()) {
                screen.skipFrame();
                continue;
            }
            screen.beginFrame();
            phase.frame(now);
            // A frame that never composed still presents, so lock and update always pair up.
            if (!screen.locked()) screen.lock();
            screen.update();
            if (keys.escape()) break;
        }
    }
}

std::function<bool(const Position&)> Scene::outsideOrders() const {
    return [orders = orders_](const Position& p) { return !orders.contains(p.order); };
}

Image& Scene::lock() { return screen.lock(); }

void Scene::flash(Image& out, int row, double perRow) { whiten(out, 1.0 - row * perRow); }

void Scene::whiten(Image& out, double amount) {
    out.fadeTo(Color(255, 255, 255, 0), static_cast<float>(gentleFlashes() ? amount * gentleFlashPeak : amount));
}
