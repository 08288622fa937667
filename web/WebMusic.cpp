#include "web/WebMusic.h"

#include <emscripten.h>

#include <algorithm>

EM_JS(void, tindrel_music_play, (), { Module.host.music.play(); });
EM_JS(std::uint32_t, tindrel_music_position, (), { return Module.host.music.position(); });
EM_JS(double, tindrel_music_seek, (int order, int row), { return Module.host.music.seek(order, row); });
EM_JS(void, tindrel_music_pause, (int paused), { Module.host.music.setPaused(paused != 0); });
EM_JS(void, tindrel_music_mute, (int muted), { Module.host.music.setMuted(muted != 0); });
EM_JS(void, tindrel_music_volume, (int percent), { Module.host.music.setVolume(percent); });
EM_JS(int, tindrel_music_muted, (), { return Module.host.music.muted ? 1 : 0; });

void WebMusic::play() { tindrel_music_play(); }

std::uint32_t WebMusic::position() { return tindrel_music_position(); }

double WebMusic::seek(int order, int row) { return tindrel_music_seek(order, row); }

void WebMusic::setPaused(bool paused) { tindrel_music_pause(paused ? 1 : 0); }

void WebMusic::setMuted(bool muted) { tindrel_music_mute(muted ? 1 : 0); }

bool WebMusic::muted() const { return tindrel_music_muted() != 0; }

void WebMusic::setVolume(int percent) {
    volume_ = std::clamp(percent, 0, 100);
    tindrel_music_volume(volume_);
}
