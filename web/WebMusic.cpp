#include "web/WebMusic.h"

#include <emscripten.h>

#include <cstddef>

EM_JS(int, tindrel_music_orders, (), { return Module.host.music.rows.length; });
EM_JS(int, tindrel_music_rows, (int order), { return Module.host.music.rows[order]; });
EM_JS(void, tindrel_music_play, (), { Module.host.music.play(); });
EM_JS(std::uint32_t, tindrel_music_position, (), { return Module.host.music.position(); });
EM_ASYNC_JS(double, tindrel_music_seek, (int order, int row), { return await Module.host.music.seek(order, row); });
EM_JS(void, tindrel_music_pause, (int paused), { Module.host.music.setPaused(paused != 0); });
EM_JS(void, tindrel_music_mute, (int muted), { Module.host.music.setMuted(muted != 0); });
EM_JS(int, tindrel_music_muted, (), { return Module.host.music.muted ? 1 : 0; });

WebMusic::WebMusic() {
    const int orders = tindrel_music_orders();
    for (int order = 0; order < orders; ++order) rows_.push_back(tindrel_music_rows(order));
}

void WebMusic::play() { tindrel_music_play(); }

std::uint32_t WebMusic::position() { return tindrel_music_position(); }

double WebMusic::seek(int order, int row) { return tindrel_music_seek(order, row); }

void WebMusic::setPaused(bool paused) { tindrel_music_pause(paused ? 1 : 0); }

void WebMusic::setMuted(bool muted) { tindrel_music_mute(muted ? 1 : 0); }

bool WebMusic::muted() const { return tindrel_music_muted() != 0; }

int WebMusic::rowsIn(int order) const {
    return order >= 0 && order < orderCount() ? rows_[static_cast<std::size_t>(order)] : 0;
}
