#include "platform/Screen.h"

#include <cassert>

Screen::Screen(int w, int h, Display& display)
    : Image(w, h, Borrowed{}), display_(display), frame_(static_cast<std::size_t>(w) * h) {}

void Screen::lock() { borrow(frame_.data()); }

void Screen::update() {
    assert(locked());
    display_.present(*this);
    borrow(nullptr);
}
