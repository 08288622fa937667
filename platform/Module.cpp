#include "platform/Module.h"

#include "raster/AssetFile.h"
#include "raster/LoadError.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <map>
#include <string>
#include <ostream>
#include <streambuf>
#include <vector>

namespace {
// libopenmpt writes its diagnostics to a stream; the show writes nothing but its own messages.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};
std::ostream& silentLog() {
    static NullBuffer buffer;
    static std::ostream stream(&buffer);
    return stream;
}
} // namespace

struct Module::Player {
    Player(std::span<const std::uint8_t> bytes, Content content)
        : module(bytes.data(), bytes.size(), silentLog(),
                 content == Content::timeline ? std::map<std::string, std::string>{{"load.skip_samples", "1"}}
                                              : std::map<std::string, std::string>{}) {}
    openmpt::module module;
};

std::unique_ptr<Module> Module::load(const std::string& name) {
    const std::vector<std::uint8_t> bytes = AssetFile::read(name);
    return std::make_unique<Module>(name, bytes);
}

std::unique_ptr<Module> Module::loadTimeline(const std::string& name) {
    const std::vector<std::uint8_t> bytes = AssetFile::read(name);
    return std::make_unique<Module>(name, bytes, Content::timeline);
}

Module::Module(const std::string& name, std::span<const std::uint8_t> bytes, Content content) {
    try {
        player_ = std::make_unique<Player>(bytes, content);
        player_->module.set_repeat_count(0);
        player_->module.ctl_set_boolean("seek.sync_samples", true);
        // Without this the player fades out for another 0.1 s past the last row, reporting
        // order 0 meanwhile: the show would see its clock jump back to the start.
        player_->module.ctl_set_text("play.at_end", "stop");
        // The player leaves a lot of headroom; 3 dB more still keeps the loudest peaks clear.
        player_->module.set_render_param(openmpt::module::RENDER_MASTERGAIN_MILLIBEL, 300);
    } catch (const openmpt::exception&) {
        throw LoadError(name, "Not a supported module file");
    }
}

Module::~Module() = default;

std::size_t Module::render(float* out, std::size_t frames) {
    std::size_t done = 0;
    if (!ended_) {
        // libopenmpt may return short reads only at the end; keep asking until it gives nothing.
        while (done < frames) {
            const std::size_t got = player_->module.read_interleaved_stereo(sampleRate, frames - done, out + 2 * done);
            if (got == 0) {
                ended_ = true;
                break;
            }
            done += got;
        }
    }
    std::fill(out + 2 * done, out + 2 * frames, 0.0f);
    return done;
}

std::uint32_t Module::position() const {
    if (ended_) return endPosition;
    const auto order = static_cast<std::uint32_t>(player_->module.get_current_order()) & 0xFFFFu;
    const auto row = static_cast<std::uint32_t>(player_->module.get_current_row()) & 0xFFFFu;
    return order | (row << 16);
}

void Module::seek(int order, int row) {
    ended_ = order >= orderCount();
    if (!ended_) player_->module.set_position_order_row(order, row);
}

int Module::rowsIn(int order) const {
    if (order < 0 || order >= orderCount()) return 0;
    return player_->module.get_pattern_num_rows(player_->module.get_order_pattern(order));
}

double Module::positionSeconds() const { return player_->module.get_position_seconds(); }
double Module::durationSeconds() const { return player_->module.get_duration_seconds(); }
int Module::orderCount() const { return player_->module.get_num_orders(); }
