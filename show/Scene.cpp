#include "show/Scene.h"

Scene::Scene(const Stage& stage, Orders orders)
    : screen(stage.screen), clock(stage.clock), orders_(orders) {}

std::function<bool(const Position&)> Scene::outsideOrders() const {
    return [orders = orders_](const Position& p) { return !orders.contains(p.order); };
}

Image& Scene::lock() { return screen.lock(); }

void Scene::flash(Image& out, int row, double perRow) { whiten(out, 1.0 - row * perRow); }

void Scene::whiten(Image& out, double amount) {
    out.fadeTo(Color(255, 255, 255, 0), static_cast<float>(gentleFlashes() ? amount * gentleFlashPeak : amount));
}
