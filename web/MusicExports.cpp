// The music's side of the page: our Module, driven by the audio worklet one block at a time.
// One module at a time lives in an instance: the worklet's renders, and one on the page answers
// the song's shape (its rows and the times they are reached) for the show.
#include "platform/Module.h"
#include "platform/Music.h"
#include "platform/MusicShape.h"

#include <emscripten.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <string>

namespace {

// The module an instance plays, its shape, and the texts handed to the page: one owner for what
// lives between the page's calls.
struct PageMusic {
    std::unique_ptr<Module> module;
    MusicShape shape;
    std::string failure;  // why the last module would not load
    std::string reply;    // the last text handed over
};
PageMusic music;

} // namespace

extern "C" {

// Takes the module's file, named as the show names it; 0 when loaded, else music_failure() says
// why.
EMSCRIPTEN_KEEPALIVE int music_load(const std::uint8_t* bytes, std::size_t size, const char* name) {
    try {
        music.module = std::make_unique<Module>(name ? name : "the music", std::span(bytes, size));
        music.shape = music.module->shape();
        return 0;
    } catch (const std::exception& e) {
        music.module.reset();
        music.failure = e.what();
        return 1;
    }
}

EMSCRIPTEN_KEEPALIVE const char* music_failure() { return music.failure.c_str(); }

// Renders frames of interleaved stereo into out; fewer than asked once the module has ended.
EMSCRIPTEN_KEEPALIVE std::size_t music_render(float* out, std::size_t frames) { return music.module->render(out, frames); }

EMSCRIPTEN_KEEPALIVE std::uint32_t music_position() { return music.module->position(); }

// Moves to the row and returns the uninterrupted play's time there, by the song's shape.
EMSCRIPTEN_KEEPALIVE double music_seek(int order, int row) {
    music.module->seek(order, row);
    return music.shape.secondsAt(order, row);
}

// The uninterrupted play's length, for the start screen.
EMSCRIPTEN_KEEPALIVE double music_duration() { return music.shape.endSeconds(); }

EMSCRIPTEN_KEEPALIVE int music_orders() { return music.module->orderCount(); }

EMSCRIPTEN_KEEPALIVE int music_rows(int order) { return music.module->rowsIn(order); }

// The song's shape for the show, as text: "RATE END", then a line an order: its rows, then the
// sample play reaches each row at (-1 for a row it never reaches; none for an order it never
// reaches). Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* music_shape() {
    const MusicShape& shape = music.shape;
    std::string& text = music.reply;
    text = std::to_string(shape.sampleRate()) + " " + std::to_string(shape.endSample()) + "\n";
    for (const MusicShape::Order& order : shape.orders()) {
        text += std::to_string(order.rows);
        for (const std::int64_t start : order.starts) text += " " + std::to_string(start);
        text += "\n";
    }
    return text.c_str();
}

// What the page needs to read a position and to play one, as the desktop's music has them.
EMSCRIPTEN_KEEPALIVE std::uint32_t music_end_position() { return Music::endPosition; }
EMSCRIPTEN_KEEPALIVE int music_order_of(std::uint32_t position) { return Music::orderOf(position); }
EMSCRIPTEN_KEEPALIVE int music_row_of(std::uint32_t position) { return Music::rowOf(position); }
EMSCRIPTEN_KEEPALIVE int music_sample_rate() { return Module::sampleRate; }
EMSCRIPTEN_KEEPALIVE float music_gain(int percent) { return SteerableMusic::gainFor(percent); }

} // extern "C"
