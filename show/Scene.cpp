#include "show/Scene.h"

Scene::Scene(const Stage& stage, const Slot& slot)
    : screen(stage.screen), clock(stage.clock), orders_(slot.orders), folder_(slot.folder), viewing_(stage.viewing) {}

std::function<bool(const Position&)> Scene::outsideOrders() const {
    return [orders = orders_](const Position& p) { return !orders.contains(p.order); };
}

Image& Scene::lock() { return screen.lock(); }

void Scene::flash(Image& out, int row, double perRow) const { whiten(out, 1.0 - row * perRow); }

void Scene::whiten(Image& out, double amount) const {
    out.fadeTo(Color(255, 255, 255, 0), static_cast<float>(whiteness(amount)));
}
