#include "platform/SdlKeys.h"

#include "platform/Interrupt.h"
#include "platform/KeyTable.h"
#include "platform/SdlDisplay.h"

#include <SDL.h>

#include <utility>

SdlKeys::SdlKeys(SdlDisplay&) {
    for (const KeyBinding& row : KeyTable::rows())
        for (const char* name : row.keys) keys_.push_back({SDL_GetKeyFromName(name), &row});
}

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
        // Letters by what the key prints, so they follow the user's layout.
        for (const auto& [key, row] : keys_) {
            if (key != event.key.keysym.sym) continue;
            if (row->command == Command::escape) pressed_ = true;
            else if (!event.key.repeat || row->repeats) commands_.push_back(row->command);
            break;
        }
        break;
    // The other way to full screen, as in every media player.
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
