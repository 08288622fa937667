#include "platform/SdlDisplay.h"

#include "platform/OverlayLayout.h"
#include "platform/QuietStderr.h"
#include "platform/TextPanel.h"
#include "platform/XConnection.h"
#include "raster/PngWriter.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

namespace {
template <auto Destroy>
struct SdlDeleter {
    template <class T>
    void operator()(T* p) const { Destroy(p); }
};
using Texture = std::unique_ptr<SDL_Texture, SdlDeleter<SDL_DestroyTexture>>;

// Drivers SDL may fall back to that draw nowhere anyone sees.
bool drawsNowhere(const char* driver) {
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool askedFor(const char* driver) {
    const char* wanted = std::getenv("SDL_VIDEODRIVER");
    return wanted && driver && SDL_strcasecmp(wanted, driver) == 0;
}

// The largest whole multiple of the frame that fits the screen's usable area, at least 1.
int fittingScale(int width, int height) {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return 1;
    return std::max(1, std::min(usable.w / width, usable.h / height));
}

// A panel of text, uploaded once for as long as its lines and size stay the same.
struct Panel {
    std::vector<std::string> lines;
    int fontPixels = 0;
    std::uint32_t background = 0x000000;
    Texture texture;
    int width = 0;
    int height = 0;

    void update(SDL_Renderer* renderer, const OverlayLayout::Block& block) { update(renderer, block.lines, block.font); }
    void update(SDL_Renderer* renderer, const std::vector<std::string>& want, int font) {
        if (want == lines && font == fontPixels && (texture || want.empty())) return;
        lines = want;
        fontPixels = font;
        texture.reset();
        const auto image = renderTextPanel(lines, font, background);
        if (!image) return;
        width = image->width();
        height = image->height();
        texture.reset(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height));
        if (!texture) return;
        SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
        SDL_UpdateTexture(texture.get(), nullptr, image->pixels(), width * static_cast<int>(sizeof(Color)));
    }

    // At the block's place in the picture.
    void draw(SDL_Renderer* renderer, const SDL_Rect& picture, const OverlayLayout::Block& block) const {
        if (!texture || block.lines.empty()) return;
        const SDL_Rect at{picture.x + block.x, picture.y + block.y, width, height};
        SDL_RenderCopy(renderer, texture.get(), nullptr, &at);
    }
};
// What went wrong stands apart from what the user asked to see.
Panel redPanel() {
    Panel p;
    p.background = 0x700000;
    return p;
}
} // namespace

struct SdlDisplay::Window {
    std::unique_ptr<SDL_Window, SdlDeleter<SDL_DestroyWindow>> window;
    std::unique_ptr<SDL_Renderer, SdlDeleter<SDL_DestroyRenderer>> renderer;
    Texture texture;
    int width = 0;
    int height = 0;
    double refresh = 1.0 / 60.0;
    std::chrono::steady_clock::time_point nextRefresh;
    Panel corner;
    Panel panel;
    Panel message;
    Panel banner = redPanel();
    std::filesystem::path startedIn;
    SDL_Rect picture{0, 0, 0, 0};  // where the frame was last shown, in the window's pixels
};

SdlDisplay::SdlDisplay(const Options& o) : window_(std::make_unique<Window>()) {
    // Signals are ours (they end the show through the keys), not SDL's.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The display libraries SDL probes print their own complaints; ours below says it all.
    const bool opened = [] {
        const QuietStderr quiet;
        return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    }();
    if (!opened) throw Unavailable(std::string("cannot open a display: ") + SDL_GetError());
    if (const char* driver = SDL_GetCurrentVideoDriver(); drawsNowhere(driver) && !askedFor(driver)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        throw Unavailable("cannot open a display: none found (is DISPLAY or WAYLAND_DISPLAY set?); without one, "
                          "tindrel capture renders the show to files");
    }

    if (const char* driver = SDL_GetCurrentVideoDriver(); driver && std::strcmp(driver, "x11") == 0)
        XConnection::endWhenLost();

    Window& w = *window_;
    std::error_code cwd;
    w.startedIn = std::filesystem::current_path(cwd);
    w.width = o.width;
    w.height = o.height;
    const int scale = o.scale > 0 ? o.scale : fittingScale(o.width, o.height);
    const Uint32 flags = SDL_WINDOW_RESIZABLE | (o.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    w.window.reset(SDL_CreateWindow(o.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    o.width * scale, o.height * scale, flags));
    if (w.window) {
        SDL_SetWindowMinimumSize(w.window.get(), std::max(1, o.width / 4), std::max(1, o.height / 4));
        // SDL's own software renderer, by choice. Asked for vsync, SDL takes the first renderer
        // that offers it, a GL one, which loads the GPU's driver and its shader cache (a cache
        // that cannot be written on a full disk brought the show down with SIGBUS) to scale one
        // 600 x 300 picture and a few text panels: work the processor does in a millisecond.
        // Its window surface is X11's own shared memory, not a GL renderer's texture again. The
        // frames are paced to the display's refresh below: SDL 2.26's software renderer says it
        // waits for vsync, and on X11 it does not.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        w.renderer.reset(SDL_CreateRenderer(w.window.get(), -1, SDL_RENDERER_SOFTWARE));
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
    SDL_DisplayMode mode{};
    if (SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(w.window.get()), &mode) == 0 && mode.refresh_rate > 0)
        w.refresh = 1.0 / mode.refresh_rate;
    w.nextRefresh = std::chrono::steady_clock::now();
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

void SdlDisplay::show(const Image& frame, const Overlay& overlay) {
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
    w.picture = target;
    SDL_RenderClear(w.renderer.get());
    SDL_RenderCopy(w.renderer.get(), w.texture.get(), nullptr, &target);

    // Text at the window's own resolution, sized to the picture, so it stays sharp at any scale.
    const OverlayLayout layout = OverlayLayout::of(overlay, target.w, target.h);
    SDL_Renderer* r = w.renderer.get();
    for (auto [panel, block] : {std::pair{&w.corner, &layout.corner}, std::pair{&w.message, &layout.message},
                                std::pair{&w.panel, &layout.panel}, std::pair{&w.banner, &layout.banner}}) {
        panel->update(r, *block);
        panel->draw(r, target, *block);
    }
    if (layout.bar > 0) {
        const int bar = layout.bar;
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
        const SDL_Rect track{target.x, target.y + target.h - bar, target.w, bar};
        SDL_SetRenderDrawColor(r, 0, 0, 0, 160);
        SDL_RenderFillRect(r, &track);
        SDL_Rect done = track;
        done.w = static_cast<int>(std::lround(std::clamp(overlay.progress, 0.0, 1.0) * target.w));
        SDL_SetRenderDrawColor(r, 255, 255, 255, 220);
        SDL_RenderFillRect(r, &done);
        // A dark edge along the top of the track and the end of the played part, so the bar
        // shows on a white frame too.
        SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
        const SDL_Rect edge{target.x, track.y - 1, target.w, 1};
        SDL_RenderFillRect(r, &edge);
        const SDL_Rect end{target.x + std::min(done.w, target.w - 1), track.y, 1, bar};
        SDL_RenderFillRect(r, &end);
        // A scene's start stands above the bar, so it shows over the played part as well.
        for (const double mark : overlay.marks) {
            const SDL_Rect tick{target.x + static_cast<int>(std::lround(std::clamp(mark, 0.0, 1.0) * (target.w - 1))),
                                target.y + target.h - 2 * bar, std::max(1, bar / 2), 2 * bar};
            const SDL_Rect outline{tick.x - 1, tick.y - 1, tick.w + 2, tick.h + 1};
            SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
            SDL_RenderFillRect(r, &outline);
            SDL_SetRenderDrawColor(r, 255, 200, 60, 255);
            SDL_RenderFillRect(r, &tick);
        }
        SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
    }
    SDL_RenderPresent(w.renderer.get());

    // Nothing holds the loop to the display: wait for the refresh the frame would have met,
    // rather than drawing frames nobody sees.
    {
        const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(w.refresh));
        const auto now = std::chrono::steady_clock::now();
        w.nextRefresh = std::max(w.nextRefresh + period, now);
        std::this_thread::sleep_until(w.nextRefresh);
    }
}

void SdlDisplay::toggleFullscreen() {
    SDL_Window* window = window_->window.get();
    const bool full = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_SetWindowFullscreen(window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

SdlDisplay::Picture SdlDisplay::picture() const {
    const SDL_Rect& p = window_->picture;
    return {p.x, p.y, p.w, p.h};
}

double SdlDisplay::refreshSeconds() const { return window_->refresh; }

std::string SdlDisplay::screenshot(const Image& frame, const std::string& name) {
    const std::filesystem::path wanted = window_->startedIn / name;
    std::filesystem::path path = wanted;
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(std::filesystem::symlink_status(path, ec)); ++n)
        path = wanted.parent_path() / (wanted.stem().string() + "-" + std::to_string(n) + wanted.extension().string());
    PngWriter::write(path, frame, PngWriter::Channels::rgb, PngWriter::fast);
    return path.filename().string();
}
