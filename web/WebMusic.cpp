#include "web/WebMusic.h"

#include <emscripten.h>

#include "platform/Module.h"

#include <algorithm>
#include <cstdint>
#include <vector>

EM_JS(int, tindrel_music_orders, (), { return Module.host.timeline.rows.length; });
EM_JS(int, tindrel_music_rows, (int order), { return Module.host.timeline.rows[order]; });
EM_JS(double, tindrel_music_row_start, (int order, int row), { return Module.host.timeline.start(order, row); });
EM_JS(double, tindrel_music_end_sample, (), { return Module.host.timeline.endSample; });
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

MusicShape WebMusic::shape() {
    std::vector<MusicShape::Order> orders;
    for (int order = 0, count = tindrel_music_orders(); order < count; ++order) {
        MusicShape::Order& o = orders.emplace_back(MusicShape::Order{tindrel_music_rows(order), {}});
        for (int row = 0; row < o.rows; ++row)
            o.starts.push_back(static_cast<std::int64_t>(tindrel_music_row_start(order, row)));
        if (std::all_of(o.starts.begin(), o.starts.end(), [](std::int64_t s) { return s < 0; })) o.starts.clear();
    }
    return MusicShape(Module::sampleRate, std::move(orders), static_cast<std::int64_t>(tindrel_music_end_sample()));
}
