#include "platform/SdlKeys.h"

#include "platform/Interrupt.h"
#include "platform/KeyTable.h"
#include "platform/SdlDisplay.h"

#include <SDL.h>

#include <string_view>
#include <utility>

SdlKeys::SdlKeys(SdlDisplay& display) : display_(display) {
    for (const KeyBinding& row : KeyTable::rows())
        for (const char* name : row.keys) {
            std::string_view key = name;
            const bool shift = key.starts_with("Shift+");
            if (shift) key.remove_prefix(6);
            keys_.push_back({SDL_GetKeyFromName(std::string(key).c_str()), shift, &row});
        }
    // Hidden until it moves: the show starts with nothing over the picture.
    SDL_ShowCursor(SDL_DISABLE);
    pointerShown_ = false;
}

Pointer::Area SdlKeys::picture() const {
    const SdlDisplay::Picture p = display_.picture();
    return {p.x, p.y, p.width, p.height};
}

void SdlKeys::key(std::int32_t code, bool shift, bool repeat) {
    // A key with Shift is its Shift row's when there is one, else the key's own: Shift and a
    // letter is still the letter.
    const Key* found = nullptr;
    for (const Key& k : keys_) {
        if (k.code != code) continue;
        if (k.shift == shift) {
            found = &k;
            break;
        }
        if (!k.shift && !found) found = &k;
    }
    if (!found) return;
    if (found->row->command == Command::escape) pressed_ = true;
    else if (!repeat || found->row->repeats) commands_.push_back(found->row->command);
}

void SdlKeys::mouse(Mouse action) {
    if (const KeyBinding* row = KeyTable::withMouse(action)) commands_.push_back(row->command);
}

void SdlKeys::take(const void* e) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(e);
    switch (event.type) {
    case SDL_QUIT:
        quit_ = true;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) quit_ = true;
        if (event.window.event == SDL_WINDOWEVENT_LEAVE) atFoot_ = false;
        break;
    case SDL_KEYDOWN:
        // Letters by what the key prints, so they follow the user's layout.
        key(event.key.keysym.sym, (event.key.keysym.mod & KMOD_SHIFT) != 0, event.key.repeat != 0);
        break;
    case SDL_MOUSEMOTION:
        pointer_.moved(clock_.seconds());
        atFoot_ = Pointer::nearFoot(picture(), event.motion.x, event.motion.y);
        if (dragging_) {
            barShare_ = Pointer::share(picture(), event.motion.x);
            mouse(Mouse::barClick);
        }
        break;
    case SDL_MOUSEWHEEL: {
        const int y = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        if (y != 0) mouse(y > 0 ? Mouse::wheelUp : Mouse::wheelDown);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
        pointer_.moved(clock_.seconds());
        if (event.button.button == SDL_BUTTON_RIGHT) {
            mouse(Mouse::rightClick);
        } else if (event.button.button == SDL_BUTTON_LEFT) {
            // The other way to full screen, as in every media player; on the bar, a seek.
            if (Pointer::nearFoot(picture(), event.button.x, event.button.y)) {
                dragging_ = true;
                barShare_ = Pointer::share(picture(), event.button.x);
                mouse(Mouse::barClick);
            } else if (event.button.clicks == 2) {
                mouse(Mouse::doubleClick);
            }
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) dragging_ = false;
        break;
    default:
        break;
    }
}

void SdlKeys::showPointer() {
    const bool visible = pointer_.visible(clock_.seconds()) || dragging_;
    if (visible == pointerShown_) return;
    pointerShown_ = visible;
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlKeys::drain() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) take(&event);
    showPointer();
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
    showPointer();
}
