#include "show/Scene.h"

Scene::Scene(const Stage& stage, const Slot& slot)
    : screen(stage.screen), clock(stage.clock), orders_(slot.orders), folder_(slot.folder), viewing_(stage.viewing),
      flashes_(stage.flashes) {}

std::function<bool(const Position&)> Scene::outsideOrders() const {
    return [orders = orders_](const Position& p) { return !orders.contains(p.order); };
}

Image& Scene::lock() { return screen.lock(); }

void Scene::flash(Image& out, int row, double perRow) const { whiten(out, 1.0 - row * perRow); }

double Scene::whiteness(double amount) const {
    if (flashes_) amount = flashes_->allow(amount);
    return viewing_.gentle ? amount * Viewing::gentleFlashPeak : amount;
}

void Scene::whiten(Image& out, double amount) const {
    if (flashes_) amount = flashes_->allow(amount);
    if (amount <= 0.0) return;
    const int peak = viewing_.gentle ? static_cast<int>(255.0 * Viewing::gentleFlashPeak) : 255;
    out.fadeTo(Color(peak, peak, peak, 0), static_cast<float>(amount));
}
