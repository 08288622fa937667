#include "platform/Module.h"

#include "raster/DataFolder.h"
#include "raster/LoadError.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cstdio>
#include <map>
#include <ostream>
#include <set>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace {
// libopenmpt writes its diagnostics to a stream. The show passes none of them on as they come:
// it keeps the first line the player writes while loading, to say in its own words.
class LoadLog : public std::streambuf {
public:
    std::string firstLine;
    bool loading = true;

protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        if (loading && !lineDone_) {
            if (c == '\n') lineDone_ = !firstLine.empty();
            else if (firstLine.size() < 200) firstLine.push_back(static_cast<char>(c));
        }
        return c;
    }

private:
    bool lineDone_ = false;
};

// Little-endian words at a position the walk below has already checked against the size.
std::uint32_t le16(std::span<const std::uint8_t> b, std::uint64_t at) {
    const auto i = static_cast<std::size_t>(at);
    return static_cast<std::uint32_t>(b[i] | b[i + 1] << 8);
}
std::uint32_t le32(std::span<const std::uint8_t> b, std::uint64_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

// The bytes an XM's headers account for: the header, every pattern, every instrument with its
// sample headers and sample data. 0 for a file of another format. A file cut short reads as at
// least one byte past its end (the walk stops there). libopenmpt plays such a file without a
// word, as much of each part as there is.
std::uint64_t xmLength(std::span<const std::uint8_t> b) {
    constexpr std::string_view magic = "Extended Module: ";
    if (b.size() < 80 || !std::equal(magic.begin(), magic.end(), b.begin())) return 0;
    const std::uint64_t size = b.size();
    const bool oldRows = le16(b, 58) < 0x0104;  // before 1.04 a pattern's row count is one byte
    const std::uint32_t patterns = le16(b, 70);
    const std::uint32_t instruments = le16(b, 72);
    std::uint64_t at = 60 + std::uint64_t{le32(b, 60)};
    for (std::uint32_t p = 0; p < patterns; ++p) {
        if (at + 9 > size) return at + 9;
        at += le32(b, at) + std::uint64_t{le16(b, at + (oldRows ? 6 : 7))};
    }
    for (std::uint32_t i = 0; i < instruments; ++i) {
        if (at + 29 > size) return at + 29;
        const std::uint64_t header = le32(b, at);
        const std::uint32_t samples = le16(b, at + 27);
        if (samples == 0) {
            at += header;
            continue;
        }
        if (at + 33 > size) return at + 33;
        const std::uint64_t sampleHeader = le32(b, at + 29);
        at += header;
        std::uint64_t data = 0;
        for (std::uint32_t s = 0; s < samples; ++s) {
            if (at + 4 > size) return at + 4;
            data += le32(b, at);
            at += sampleHeader;
        }
        at += data;
    }
    return at;
}

// Said once a run for each thing found: the show loads its music more than once.
void warnOnce(const std::string& name, const std::string& warning) {
    static std::set<std::string> said;
    if (warning.empty() || !said.insert(name + '\n' + warning).second) return;
    std::fprintf(stderr, "tindrel: warning: %s: %s\n", name.c_str(), warning.c_str());
}
} // namespace

struct Module::Player {
    Player(std::span<const std::uint8_t> bytes, Content content)
        : module(bytes.data(), bytes.size(), logStream,
                 content == Content::timeline ? std::map<std::string, std::string>{{"load.skip_samples", "1"}}
                                              : std::map<std::string, std::string>{}) {
        log.loading = false;
    }
    LoadLog log;
    std::ostream logStream{&log};
    openmpt::module module;
};

std::unique_ptr<Module> Module::load(const DataFolder& data, const std::string& name, Content content) {
    const std::vector<std::uint8_t> bytes = data.read(name);
    auto module = std::make_unique<Module>(name, bytes, content);
    warnOnce(name, module->warning());
    return module;
}

std::unique_ptr<Module> Module::loadTimeline(const DataFolder& data, const std::string& name) {
    return load(data, name, Content::timeline);
}

Module::Module(const std::string& name, std::span<const std::uint8_t> bytes, Content content) {
    try {
        player_ = std::make_unique<Player>(bytes, content);
        player_->module.set_repeat_count(0);
        player_->module.ctl_set_boolean("seek.sync_samples", true);
        // Without this the player fades out for another 0.1 s past the last row, reporting
        // order 0 meanwhile: the show would see its clock jump back to the start.
        player_->module.ctl_set_text("play.at_end", "stop");
        // The song is mastered to be played as it is: its loudness and its peaks are its own.
        player_->module.set_render_param(openmpt::module::RENDER_MASTERGAIN_MILLIBEL, 0);
    } catch (const openmpt::exception&) {
        throw LoadError(name, "Not a supported module file");
    }
    if (const std::uint64_t wanted = xmLength(bytes); wanted > bytes.size())
        warning_ = "the file is cut short after " + std::to_string(bytes.size()) + " bytes; the music will be incomplete";
    else if (const std::string said = player_->module.get_metadata("warnings"); !said.empty())
        warning_ = "the player reports: " + said.substr(0, said.find('\n'));
    else if (!player_->log.firstLine.empty())
        warning_ = "the player reports: " + player_->log.firstLine;
}

Module::~Module() = default;

std::size_t Module::render(float* out, std::size_t frames, int rate) {
    std::size_t done = 0;
    if (!ended_) {
        // libopenmpt may return short reads only at the end; keep asking until it gives nothing.
        while (done < frames) {
            const std::size_t got = player_->module.read_interleaved_stereo(rate, frames - done, out + 2 * done);
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

namespace {

// What a row's effects do to the clock, in FastTracker 2's letters or Impulse Tracker's.
struct RowClock {
    int speed = 0;       // ticks a row from this row on; 0 unchanged
    int tempo = 0;       // bpm from this row on; 0 unchanged
    int jumpOrder = -1;  // the order play goes on at, -1 the next
    int breakRow = -1;   // the row of that order play goes on at, -1 the first
    int delayRows = 0;   // times the row is held again
};

RowClock rowClock(openmpt::module& m, bool impulse, int pattern, int row) {
    RowClock c;
    for (int channel = 0, channels = m.get_num_channels(); channel < channels; ++channel) {
        const std::string effect = m.format_pattern_row_channel_command(pattern, row, channel, openmpt::module::command_effect);
        if (effect.empty()) continue;
        const int param = m.get_pattern_row_channel_command(pattern, row, channel, openmpt::module::command_parameter);
        const char letter = effect[0];
        if (impulse ? letter == 'A' : letter == 'F') {
            if (impulse ? param > 0 : (param > 0 && param < 0x20)) c.speed = param;
            else if (!impulse && param >= 0x20) c.tempo = param;
        } else if (impulse && letter == 'T' && param >= 0x20) {
            c.tempo = param;
        } else if (letter == 'B') {
            c.jumpOrder = param;
        } else if (impulse ? letter == 'C' : letter == 'D') {
            // FastTracker 2 writes the row in decimal digits.
            c.breakRow = impulse ? param : (param >> 4) * 10 + (param & 15);
        } else if (letter == (impulse ? 'S' : 'E') && param >> 4 == 0xE) {
            c.delayRows = param & 15;
        }
    }
    return c;
}

} // namespace

MusicShape Module::shape(int rate) {
    openmpt::module& m = player_->module;
    m.set_position_order_row(0, 0);
    const std::string type = m.get_metadata("type");
    const bool impulse = type == "it" || type == "s3m" || type == "mptm";
    int speed = std::max(1, m.get_current_speed());
    int tempo = std::max(1, static_cast<int>(m.get_current_tempo()));
    std::vector<MusicShape::Order> orders(static_cast<std::size_t>(orderCount()));
    for (int o = 0; o < orderCount(); ++o) orders[static_cast<std::size_t>(o)].rows = rowsIn(o);
    std::int64_t at = 0;
    int order = 0, row = 0;
    while (order < orderCount()) {
        MusicShape::Order& here = orders[static_cast<std::size_t>(order)];
        if (row >= here.rows) {
            ++order;
            row = 0;
            continue;
        }
        if (here.starts.empty()) here.starts.assign(static_cast<std::size_t>(here.rows), -1);
        std::int64_t& start = here.starts[static_cast<std::size_t>(row)];
        // A row played twice is where a player that does not repeat the song stops.
        if (start >= 0) break;
        start = at;
        const RowClock c = rowClock(m, impulse, m.get_order_pattern(order), row);
        if (c.speed) speed = c.speed;
        if (c.tempo) tempo = c.tempo;
        // A tick is 2.5 / tempo seconds, rendered as its whole samples.
        const std::int64_t tick = std::int64_t{rate} * 5 / (2 * tempo);
        at += tick * speed * (1 + c.delayRows);
        if (c.jumpOrder >= 0 || c.breakRow >= 0) {
            order = c.jumpOrder >= 0 ? c.jumpOrder : order + 1;
            row = std::max(0, c.breakRow);
        } else {
            ++row;
        }
    }
    m.set_position_order_row(0, 0);
    return MusicShape(rate, std::move(orders), at);
}

MusicShape MusicShape::load(const DataFolder& data, const std::string& name) {
    return Module::loadTimeline(data, name)->shape();
}
