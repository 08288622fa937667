#include "web/WebDisplay.h"

#include "raster/Color.h"

#include <emscripten.h>

#include <cstddef>
#include <utility>

namespace {

// Lines of each part joined by newlines; the parts are split by the record separator.
std::string serialized(const Overlay& overlay) {
    std::string text;
    for (const auto* part : {&overlay.corner, &overlay.panel, &overlay.banner}) {
        for (std::size_t i = 0; i < part->size(); ++i) text += (i ? "\n" : "") + (*part)[i];
        text += '\x1e';
    }
    return text;
}

} // namespace

EM_JS(void, tindrel_draw, (const std::uint8_t* pixels, int width, int height), {
    Module.host.draw(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4), width, height);
});

EM_JS(void, tindrel_overlay, (const char* text), {
    const parts = UTF8ToString(text).split(String.fromCharCode(30)).slice(0, 3);
    Module.host.overlay(parts.map(p => p ? p.split(String.fromCharCode(10)) : []));
});

EM_JS(void, tindrel_toggle_fullscreen, (), { Module.host.toggleFullscreen(); });

EM_JS(double, tindrel_refresh_seconds, (), { return Module.host.refreshSeconds(); });

const std::uint8_t* WebDisplay::toCanvas(const Image& frame) {
    const std::size_t count = frame.pixelCount();
    rgba_.resize(count);
    const Color* in = frame.pixels();
    for (std::size_t i = 0; i < count; ++i)
        rgba_[i] = 0xFF000000u | static_cast<std::uint32_t>(in[i].b) << 16 | static_cast<std::uint32_t>(in[i].g) << 8 |
                   in[i].r;
    return reinterpret_cast<const std::uint8_t*>(rgba_.data());
}

void WebDisplay::draw(const Image& frame) { tindrel_draw(toCanvas(frame), frame.width(), frame.height()); }

void WebDisplay::show(const Image& frame, const Overlay& overlay) {
    draw(frame);
    if (std::string text = serialized(overlay); text != overlay_) {
        overlay_ = std::move(text);
        tindrel_overlay(overlay_.c_str());
    }
}

void WebDisplay::toggleFullscreen() { tindrel_toggle_fullscreen(); }

double WebDisplay::refreshSeconds() const { return tindrel_refresh_seconds(); }
