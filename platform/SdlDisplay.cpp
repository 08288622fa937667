#include "platform/SdlDisplay.h"

#include <SDL.h>

#include <algorithm>

namespace {
template <auto Destroy>
struct SdlDeleter {
    template <class T>
    void operator()(T* p) const { Destroy(p); }
};
} // namespace

struct SdlDisplay::Window {
    std::unique_ptr<SDL_Window, SdlDeleter<SDL_DestroyWindow>> window;
    std::unique_ptr<SDL_Renderer, SdlDeleter<SDL_DestroyRenderer>> renderer;
    std::unique_ptr<SDL_Texture, SdlDeleter<SDL_DestroyTexture>> texture;
    int width = 0;
    int height = 0;
};

SdlDisplay::SdlDisplay(const Options& o) : window_(std::make_unique<Window>()) {
    // Signals are ours (they end the show through the keys), not SDL's.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        throw Unavailable(std::string("cannot open a display: ") + SDL_GetError());

    Window& w = *window_;
    w.width = o.width;
    w.height = o.height;
    const int scale = std::max(1, o.scale);
    const Uint32 flags = o.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
    w.window.reset(SDL_CreateWindow(o.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    o.width * scale, o.height * scale, flags));
    if (w.window) {
        w.renderer.reset(SDL_CreateRenderer(w.window.get(), -1, SDL_RENDERER_PRESENTVSYNC));
        if (!w.renderer) w.renderer.reset(SDL_CreateRenderer(w.window.get(), -1, SDL_RENDERER_SOFTWARE));
    }
    if (w.renderer)
        w.texture.reset(SDL_CreateTexture(w.renderer.get(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                          o.width, o.height));
    if (!w.texture) {
        const std::string reason = SDL_GetError();
        window_.reset();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        throw Unavailable("cannot open a display: " + reason);
    }
    if (o.fullscreen) SDL_ShowCursor(SDL_DISABLE);
    // Shown black until the first frame arrives.
    SDL_SetRenderDrawColor(w.renderer.get(), 0, 0, 0, 255);
    SDL_RenderClear(w.renderer.get());
    SDL_RenderPresent(w.renderer.get());
}

SdlDisplay::~SdlDisplay() {
    window_.reset();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

void SdlDisplay::present(const Image& frame) {
    Window& w = *window_;
    // ARGB8888 is the pixel's own byte order (blue, green, red, alpha in memory).
    SDL_UpdateTexture(w.texture.get(), nullptr, frame.pixels(), frame.width() * static_cast<int>(sizeof(Color)));

    // The letterbox is computed here rather than by a logical size: at a non-integer scale
    // SDL's software renderer drops the last row and column.
    int outW = 0;
    int outH = 0;
    SDL_GetRendererOutputSize(w.renderer.get(), &outW, &outH);
    SDL_Rect target{0, 0, outW, outH};
    if (static_cast<long long>(outW) * w.height > static_cast<long long>(outH) * w.width) {
        target.w = static_cast<int>(static_cast<long long>(outH) * w.width / w.height);
        target.x = (outW - target.w) / 2;
    } else {
        target.h = static_cast<int>(static_cast<long long>(outW) * w.height / w.width);
        target.y = (outH - target.h) / 2;
    }
    SDL_RenderClear(w.renderer.get());
    SDL_RenderCopy(w.renderer.get(), w.texture.get(), nullptr, &target);
    SDL_RenderPresent(w.renderer.get());
}
