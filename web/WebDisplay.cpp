#include "web/WebDisplay.h"

#include "raster/Color.h"

#include <emscripten.h>
#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

#include <cstddef>
#include <cstdint>
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

EM_ASYNC_JS(void, tindrel_next_frame, (), { await Module.host.nextFrame(); });

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
    std::size_t i = 0;
#if defined(__wasm_simd128__)
    // Four pixels a step: blue and red trade places and alpha is set, the plain loop's bytes.
    const v128_t opaque = wasm_i32x4_splat(static_cast<std::int32_t>(0xFF000000u));
    for (; i + 4 <= count; i += 4) {
        const v128_t bgra = wasm_v128_load(in + i);
        const v128_t rgba = wasm_i8x16_shuffle(bgra, bgra, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
        wasm_v128_store(rgba_.data() + i, wasm_v128_or(rgba, opaque));
    }
#endif
    for (; i < count; ++i)
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
    tindrel_next_frame();
}

void WebDisplay::toggleFullscreen() { tindrel_toggle_fullscreen(); }

double WebDisplay::refreshSeconds() const { return tindrel_refresh_seconds(); }
