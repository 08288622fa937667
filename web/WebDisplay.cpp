#include "web/WebDisplay.h"

#include "raster/Color.h"

#include <emscripten.h>
#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace {

// Lines of each part joined by newlines; the parts are split by the record separator. The bar
// comes last, as its share then each mark's, split by spaces; empty for no bar.
std::string serialized(const Overlay& overlay) {
    std::string text;
    for (const auto* part : {&overlay.corner, &overlay.panel, &overlay.banner, &overlay.message}) {
        for (std::size_t i = 0; i < part->size(); ++i) text += (i ? "\n" : "") + (*part)[i];
        text += '\x1e';
    }
    if (overlay.progress >= 0.0) {
        char share[32];
        std::snprintf(share, sizeof share, "%.4f", overlay.progress);
        text += share;
        for (const double mark : overlay.marks) {
            std::snprintf(share, sizeof share, " %.4f", mark);
            text += share;
        }
    }
    return text;
}

} // namespace

EM_JS(void, tindrel_draw, (const std::uint8_t* pixels, int width, int height), {
    Module.host.draw(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4), width, height);
});

EM_JS(void, tindrel_overlay, (const char* text), {
    const parts = UTF8ToString(text).split(String.fromCharCode(30)).slice(0, 5);
    Module.host.overlay(parts.map(p => p ? p.split(String.fromCharCode(10)) : []));
});

EM_JS(void, tindrel_toggle_fullscreen, (), { Module.host.toggleFullscreen(); });

EM_JS(void, tindrel_screenshot, (const char* name), { Module.host.screenshot(UTF8ToString(name)); });

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
}

void WebDisplay::toggleFullscreen() { tindrel_toggle_fullscreen(); }

double WebDisplay::refreshSeconds() const { return tindrel_refresh_seconds(); }

// The canvas holds the frame alone, the text lying over it in the page: the page saves the
// canvas as the PNG and hands it to the browser's downloads.
std::string WebDisplay::screenshot(const Image&, const std::string& name) {
    tindrel_screenshot(name.c_str());
    return name + " (downloaded)";
}
