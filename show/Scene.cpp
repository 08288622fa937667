#include "show/Scene.h"

#include <cstdint>

Scene::Scene(const Stage& stage, Orders orders)
    : screen(stage.screen), clock(stage.clock), orders_(orders), flashes_(stage.flashes) {}

std::function<bool(const Position&)> Scene::outsideOrders() const {
    return [orders = orders_](const Position& p) { return !orders.contains(p.order); };
}

Image& Scene::lock() { return screen.lock(); }

void Scene::flash(Image& out, int row, double perRow) { whiten(out, 1.0 - row * perRow); }

void Scene::whiten(Image& out, double amount) {
    if (flashes_) amount = flashes_->allow(amount);
    if (amount <= 0.0) return;
    const auto peak = static_cast<std::uint8_t>(gentleFlashes() ? 255.0 * gentleFlashPeak : 255.0);
    out.fadeTo(Color(peak, peak, peak, 0), static_cast<float>(amount));
}
