#include "platform/SdlKeys.h"

#include "platform/Interrupt.h"
#include "platform/SdlDisplay.h"

#include <SDL.h>

#include <optional>
#include <utility>

namespace {

// Letters by what the key prints, so they follow the user's layout; the rest by their place.
std::optional<Command> commandFor(const SDL_KeyboardEvent& key) {
    switch (key.keysym.sym) {
    case SDLK_q: return Command::quit;
    case SDLK_SPACE: return Command::pause;
    case SDLK_f: return Command::fullscreen;
    case SDLK_o: return Command::onScreenDisplay;
    case SDLK_m: return Command::mute;
    case SDLK_h: return Command::help;
    default: break;
    }
    switch (key.keysym.scancode) {
    case SDL_SCANCODE_RIGHT: return Command::nextOrder;
    case SDL_SCANCODE_LEFT: return Command::previousOrder;
    case SDL_SCANCODE_PAGEDOWN: return Command::nextScene;
    case SDL_SCANCODE_PAGEUP: return Command::previousScene;
    case SDL_SCANCODE_HOME: return Command::home;
    case SDL_SCANCODE_F1: return Command::help;
    default: return std::nullopt;
    }
}

// A held key repeats: moving through the show may, a toggle must not flicker.
bool repeats(Command c) {
    return c == Command::nextOrder || c == Command::previousOrder || c == Command::nextScene ||
           c == Command::previousScene;
}

} // namespace

SdlKeys::SdlKeys(SdlDisplay&) {}

void SdlKeys::take(const void* e) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(e);
    switch (event.type) {
    case SDL_QUIT:
        quit_ = true;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) quit_ = true;
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.scancode == SDL_SCANCODE_ESCAPE) {
            pressed_ = true;
        } else if (const auto c = commandFor(event.key); c && (!event.key.repeat || repeats(*c))) {
            commands_.push_back(*c);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT && event.button.clicks == 2) commands_.push_back(Command::fullscreen);
        break;
    default:
        break;
    }
}

void SdlKeys::drain() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) take(&event);
}

bool SdlKeys::escapePending() {
    drain();
    const bool down = SDL_GetKeyboardState(nullptr)[SDL_SCANCODE_ESCAPE] != 0;
    return quit_ || pressed_ || down || Interrupt::requested();
}

bool SdlKeys::escape() {
    const bool down = escapePending();
    pressed_ = false;
    return down;
}

std::vector<Command> SdlKeys::commands() {
    drain();
    return std::exchange(commands_, {});
}

void SdlKeys::wait(int milliseconds) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, milliseconds)) take(&event);
}
