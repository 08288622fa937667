#include "platform/SdlKeys.h"

#include "platform/Interrupt.h"
#include "platform/SdlDisplay.h"

#include <SDL.h>

SdlKeys::SdlKeys(SdlDisplay&) {}

bool SdlKeys::escape() {
    bool pressed = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) quit_ = true;
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) quit_ = true;
        if (event.type == SDL_KEYDOWN && event.key.keysym.scancode == SDL_SCANCODE_ESCAPE) pressed = true;
    }
    const bool down = SDL_GetKeyboardState(nullptr)[SDL_SCANCODE_ESCAPE] != 0;
    return quit_ || pressed || down || Interrupt::requested();
}
