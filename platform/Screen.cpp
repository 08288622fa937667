#include "platform/Screen.h"

#include <stdexcept>

Screen::Screen(int w, int h, Display& display) : display_(display), frame_(w, h) {}

Image& Screen::lock() {
    locked_ = true;
    return frame_;
}

Image& Screen::frame() {
    if (!locked_) throw std::logic_error("the screen is drawn into outside a frame");
    return frame_;
}

void Screen::update() {
    display_.present(frame());
    locked_ = false;
}
