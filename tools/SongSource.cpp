#include "tools/SongSource.h"

#include "platform/SourceFiles.h"
#include "raster/Suggest.h"
#include "tools/Synth.h"

#include <algorithm>
#include <charconv>
#include <iomanip>
#include <map>
#include <sstream>
#include <system_error>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int maxIncludeDepth = 8;
// Bounds on all the text a song reads, its includes with it. The show's own song is 3 files,
// 2,597 lines and 0.45 MiB: far inside.
constexpr int maxIncludes = 256;
constexpr long maxLines = 200000;
constexpr std::size_t maxTotalBytes = std::size_t{16} << 20;

// The notation's words, what they take and what they mean: the compiler knows a word by this
// table, and docs/song-notation.md prints it.
struct Word {
    std::string_view name;
    std::string_view form;
    std::string_view meaning;
};

constexpr Word statements[] = {
    {"song", "song NAME", "the song's name, up to 20 characters"},
    {"speed", "speed N", "ticks a row, 1 to 31 (6 is usual)"},
    {"bpm", "bpm N", "tempo, 32 to 255: a tick lasts 2.5 / N seconds, so at 125 a tick is 20 ms"},
    {"channels", "channels N", "channels a row, 2 to 32 and even; once, before any pattern"},
    {"include", "include FILE", "reads FILE, named from this file's folder, here (at most 8 deep)"},
    {"order", "order PATTERN...", "patterns played in this order; more order lines add to it, up to 256"},
    {"instrument", "instrument HH NAME", "an instrument, numbered 01, 02, ... in hex and in sequence, up to end"},
    {"pattern", "pattern NAME [ROWS]", "a pattern of ROWS rows (1 to 256), up to end; without ROWS it ends at its last row"},
    {"end", "end", "ends an instrument or a pattern"},
};

constexpr Word settings[] = {
    {"length", "length SECONDS", "a one-shot of 0.001 to 30 s (drums, plucks); an instrument has a length or a loop"},
    {"loop", "loop FRAMES CYCLES [after FRAMES]",
     "a held sound: FRAMES samples (2 or more) holding CYCLES cycles, after FRAMES samples of attack"},
    {"pitch", "pitch NOTE|HZ", "the pitch a one-shot is made at, a note (C-4) or 1 to 20000 Hz; none: a drum"},
    {"bits", "bits 8|16", "sample depth, 16 unless said"},
    {"drive", "drive X", "tanh saturation, 0 (none) to 100, after the sum is brought to its peak"},
    {"fade", "fade SECONDS", "a one-shot's linear fade to silence at its end, 0 to 30 s"},
    {"peak", "peak X", "the loudest sample as a part of full scale, 0.01 to 1 (0.9 unless said)"},
    {"volume", "volume N", "the instrument's volume, 0 to 64"},
    {"pan", "pan N", "0 left, 128 centre, 255 right"},
    {"fadeout", "fadeout N", "volume lost a tick after key off, 0 to FFF in 1/65536ths of full (needs an envelope)"},
    {"envelope", "envelope TICK:VALUE... [sustain I] [loop A B]",
     "volume envelope: 1 to 12 points, ticks from 0 rising, values 0 to 64; I, A, B count points from 0"},
    {"vibrato", "vibrato sine|square|down|up SWEEP DEPTH RATE",
     "automatic vibrato: SWEEP 0 to 255 ticks to full depth, DEPTH 0 to 15, RATE 0 to 63"},
    {"sine", "sine [LAYER SETTINGS]", "a layer: a sine tone"},
    {"saw", "saw [LAYER SETTINGS]", "a layer: a sawtooth built from its partials, bright"},
    {"square", "square [LAYER SETTINGS]", "a layer: a square built from its odd partials, hollow"},
    {"triangle", "triangle [LAYER SETTINGS]", "a layer: a triangle built from its odd partials, soft"},
    {"noise", "noise [LAYER SETTINGS]", "a layer: white noise through a filter; never in a loop"},
    {"metal", "metal [LAYER SETTINGS]", "a layer: six square waves at inharmonic ratios through a filter, for cymbals"},
};

constexpr Word layerSettings[] = {
    {"level", "level X", "loudness against the other layers, -10 to 10 (1 unless said)"},
    {"hz", "hz HZ", "a one-shot tone's frequency, 0 to 20000 Hz; in a loop, cycles added to the loop's"},
    {"drop", "drop HZ SECONDS", "a fall: HZ (-20000 to 20000) added at the start, dying away with this time constant"},
    {"detune", "detune N", "in a loop: cycles added to this layer, -1000 to 1000, for voices that beat"},
    {"attack", "attack SECONDS", "linear rise, 0 to 30 s"},
    {"decay", "decay SECONDS", "time constant of the exponential fall, 0 to 30 s; 0 holds the level"},
    {"damping", "damping X", "extra fall a second for each harmonic above the first, 0 to 1000, as on a plucked string"},
    {"top", "top HZ", "tones: no partial above this, 1 to 22050 Hz (12000 unless said)"},
    {"lowpass", "lowpass HZ", "filter cutoff, 1 to 22050 Hz; the only filter a tone takes"},
    {"highpass", "highpass HZ", "noise and metal: filter cutoff, 1 to 22050 Hz"},
    {"bandpass", "bandpass HZ", "noise and metal: filter centre, 1 to 22050 Hz"},
    {"q", "q X", "filter resonance, 0.1 to 50"},
    {"sweep", "sweep HZ SECONDS", "the cutoff glides evenly in pitch to HZ (1 to 22050) over SECONDS"},
    {"seed", "seed N", "noise: its seed, 0 to 2147483647; tones: nonzero starts each partial at a random phase"},
};

// FastTracker 2's effects by their letter; the ones that would move the show's clock are
// refused where they are written.
constexpr Word effects[] = {
    {"0", "0xy", "arpeggio: the note, x and y semitones above, in turn each tick"},
    {"1", "1xx", "slides the pitch up by xx each tick"},
    {"2", "2xx", "slides the pitch down by xx each tick"},
    {"3", "3xx", "slides toward the note written, by xx each tick (portamento)"},
    {"4", "4xy", "vibrato: speed x, depth y"},
    {"5", "5xy", "3 goes on, with volume slide xy as in A"},
    {"6", "6xy", "4 goes on, with volume slide xy as in A"},
    {"7", "7xy", "tremolo: speed x, depth y"},
    {"8", "8xx", "panning: 00 left, 80 centre, FF right"},
    {"9", "9xx", "starts the sample xx * 256 frames in"},
    {"A", "Axy", "volume slide: up x or down y each tick"},
    {"C", "Cxx", "sets the volume, 00 to 40"},
    {"E", "Exy",
     "E1y/E2y fine slide up/down, E3y glissando, E4y vibrato wave, E5y finetune, E7y tremolo wave, E8y panning, "
     "E9y retrigger every y ticks, EAy/EBy fine volume up/down, ECy cut after y ticks, EDy delay y ticks"},
    {"F", "Fxx", "speed (01 to 1F ticks a row) or tempo (20 to FF bpm) from this row on"},
    {"G", "Gxx", "global volume, 00 to 40"},
    {"H", "Hxy", "global volume slide: up x or down y each tick"},
    {"K", "Kxx", "key off after xx ticks"},
    {"L", "Lxx", "sets the envelope's position to tick xx"},
    {"P", "Pxy", "panning slide: right x or left y each tick"},
    {"R", "Rxy", "retrigger every y ticks, the volume changed by x"},
    {"T", "Txy", "tremor: on x + 1 ticks, off y + 1 ticks"},
    {"X", "Xxy", "X1y/X2y extra fine slide up/down"},
};

constexpr std::string_view clockEffects = "B (jump), D (break), E6y (loop), EEy (delay)";

template <std::size_t N>
const Word* wordNamed(const Word (&table)[N], std::string_view name) {
    for (const Word& w : table)
        if (w.name == name) return &w;
    return nullptr;
}

template <std::size_t N>
std::vector<std::string_view> namesOf(const Word (&table)[N]) {
    std::vector<std::string_view> names;
    for (const Word& w : table) names.push_back(w.name);
    return names;
}

struct Place {
    std::string file;
    int line = 0;
};

[[noreturn]] void fail(const Place& at, const std::string& message) {
    throw SongError(at.file + ":" + std::to_string(at.line) + ": " + message);
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> result;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
        if (i > start) result.push_back(text.substr(start, i - start));
    }
    return result;
}

// "#" opens a comment only where it cannot be a sharp: at the start or after a space.
std::string_view withoutComment(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
    return line;
}

// Built by appending: GCC 12 misreads a literal added to a temporary string as overlapping copies.
std::string quoted(std::string_view text) {
    std::string result(1, '"');
    result += text;
    result += '"';
    return result;
}

int toInt(const Place& at, std::string_view text, int low, int high, const std::string& what, int base = 10) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        std::ostringstream range;
        if (base == 16)
            range << std::uppercase << std::hex << std::setfill('0') << std::setw(2) << low << ".." << std::setw(2)
                  << high << " in hex";
        else
            range << low << ".." << high;
        fail(at, what + " must be " + range.str() + ", not " + quoted(text));
    }
    return value;
}

double toNumber(const Place& at, std::string_view text, double low, double high, const std::string& what) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value >= low && value <= high)) {
        std::ostringstream range;
        range << low << " to " << high;
        fail(at, what + " must be a number from " + range.str() + ", not " + quoted(text));
    }
    return value;
}

// "C-4", "F#2": 1 (C-0) to 96 (B-7); 0 when it is not a note name.
int noteNumber(std::string_view text) {
    static constexpr int fromA[] = {9, 11, 0, 2, 4, 5, 7};
    if (text.size() != 3 || text[0] < 'A' || text[0] > 'G' || (text[1] != '-' && text[1] != '#') || text[2] < '0' ||
        text[2] > '7')
        return 0;
    const int semitone = fromA[text[0] - 'A'] + (text[1] == '#' ? 1 : 0);
    if (semitone == 12 || (text[1] == '#' && (text[0] == 'E' || text[0] == 'B'))) return 0;
    return 1 + (text[2] - '0') * 12 + semitone;
}

bool dots(std::string_view text) { return std::all_of(text.begin(), text.end(), [](char c) { return c == '.'; }); }

class Compiler {
public:
    explicit Compiler(fs::path namesFrom) : namesFrom_(std::move(namesFrom)) {}

    XmModule run(const std::string& text, const fs::path& path) {
        // Includes stay in the song's own folder, whatever links or ".." lead elsewhere.
        std::error_code ec;
        folder_ = fs::weakly_canonical(fs::absolute(path).parent_path(), ec);
        if (ec) folder_ = fs::absolute(path).parent_path().lexically_normal();
        bytes_ = text.size();
        readText(text, path, 0);
        finish(Place{nameOf(path), 1});
        return std::move(module_);
    }

private:
    enum class Block { none, instrument, pattern };

    // A file as messages name it: from the sources folder when there is one, so the reason
    // still fits a banner when the sources lie deep.
    std::string nameOf(const fs::path& path) const {
        if (namesFrom_.empty()) return path.string();
        const fs::path relative = path.lexically_relative(namesFrom_);
        if (relative.empty() || *relative.begin() == "..") return path.string();
        return relative.generic_string();
    }

    // Nothing of a refused file is read, so nothing of it can show in a message.
    void readFile(const fs::path& path, std::string_view name, const Place& from, int depth) {
        if (++includes_ > maxIncludes)
            fail(from, "more than " + std::to_string(maxIncludes) + " includes in all; a song includes each file once or a few times");
        // Outside is said before whether it exists, so an include cannot probe other folders.
        std::error_code ec;
        const fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec && !SourceFiles::inside(resolved, folder_))
            fail(from, "include " + quoted(name) + " is outside the song's folder " + nameOf(folder_));
        const fs::path real = fs::canonical(path, ec);
        if (ec) fail(from, "cannot read " + nameOf(path));
        if (!SourceFiles::inside(real, folder_))
            fail(from, "include " + quoted(name) + " is outside the song's folder " + nameOf(folder_));
        if (!fs::is_regular_file(real, ec)) fail(from, "include " + quoted(name) + " is not a regular file");
        std::string text;
        try {
            text = SourceFiles::read(real, std::string(name));
        } catch (const std::runtime_error& e) {
            fail(from, std::string("include ") + e.what());
        }
        bytes_ += text.size();
        if (bytes_ > maxTotalBytes)
            fail(from, "the song and its includes come to more than " + std::to_string(maxTotalBytes >> 20) + " MiB");
        readText(text, path, depth);
    }

    void readText(const std::string& text, const fs::path& path, int depth) {
        Place at{nameOf(path), 0};
        std::size_t begin = 0;
        Block block = Block::none;
        Place blockStart;
        std::string blockName;
        while (begin <= text.size()) {
            std::size_t end = text.find('\n', begin);
            if (end == std::string::npos) end = text.size();
            std::string_view line(text.data() + begin, end - begin);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            begin = end + 1;
            ++at.line;
            if (++lines_ > maxLines)
                fail(at, "the song and its includes come to more than " + std::to_string(maxLines) + " lines");
            const std::vector<std::string_view> w = words(withoutComment(line));
            if (w.empty()) continue;
            if (block == Block::none) {
                if (w[0] == "instrument" || w[0] == "pattern") {
                    blockStart = at;
                    blockName = w[0];
                    if (w.size() > 1) (blockName += ' ') += w[1];
                }
                block = statement(at, w, path, depth);
            } else if (w[0] == "end") {
                if (w.size() != 1) fail(at, "end takes nothing after it");
                if (block == Block::instrument) endInstrument(at);
                else endPattern(at);
                block = Block::none;
            } else if (block == Block::instrument) {
                instrumentLine(at, w);
            } else {
                rowLine(at, withoutComment(line));
            }
        }
        if (block != Block::none) fail(blockStart, blockName + " has no end");
    }

    Block statement(const Place& at, const std::vector<std::string_view>& w, const fs::path& path, int depth) {
        const std::string_view key = w[0];
        if (!wordNamed(statements, key)) fail(at, "unknown statement " + quoted(key) + didYouMean(key, namesOf(statements)));
        auto one = [&]() -> std::string_view {
            if (w.size() != 2) fail(at, std::string(key) + " takes one value");
            return w[1];
        };
        if (key == "song") {
            if (w.size() < 2) fail(at, "song takes a name");
            std::string name(w[1]);
            for (std::size_t i = 2; i < w.size(); ++i) {
                name += ' ';
                name += w[i];
            }
            if (name.size() > 20) fail(at, "the song's name has more than 20 characters");
            module_.name = name;
        } else if (key == "speed") {
            module_.speed = toInt(at, one(), 1, 31, "speed");
        } else if (key == "bpm") {
            module_.bpm = toInt(at, one(), 32, 255, "bpm");
        } else if (key == "channels") {
            if (channelsSet_ || !module_.patterns.empty()) fail(at, "channels is given once, before any pattern");
            module_.channels = toInt(at, one(), 2, 32, "channels");
            if (module_.channels % 2 != 0) fail(at, "channels must be even");
            channelsSet_ = true;
        } else if (key == "include") {
            if (depth >= maxIncludeDepth) fail(at, "includes nest more than 8 deep");
            const std::string_view name = one();
            readFile(path.parent_path() / std::string(name), name, at, depth + 1);
        } else if (key == "order") {
            if (w.size() < 2) fail(at, "order takes pattern names");
            for (std::size_t i = 1; i < w.size(); ++i) orders_.push_back({std::string(w[i]), at});
        } else if (key == "instrument") {
            if (w.size() < 3) fail(at, "instrument takes its number and a name");
            const int number = toInt(at, w[1], 1, 128, "instrument number", 16);
            const int expected = static_cast<int>(recipes_.size()) + 1;
            if (number != expected) fail(at, "instrument " + hex(expected) + " comes next, not " + std::string(w[1]));
            recipe_ = synth::Recipe{};
            recipe_.name = std::string(w[2]);
            for (std::size_t i = 3; i < w.size(); ++i) {
                recipe_.name += ' ';
                recipe_.name += w[i];
            }
            if (recipe_.name.size() > 22) fail(at, "an instrument's name has at most 22 characters");
            return Block::instrument;
        } else if (key == "pattern") {
            if (w.size() != 2 && w.size() != 3) fail(at, "pattern takes a name and, if you like, its rows");
            const std::string name(w[1]);
            if (patternIndex_.count(name)) fail(at, "pattern " + name + " is defined twice");
            patternName_ = name;
            patternRows_ = w.size() == 3 ? toInt(at, w[2], 1, 256, "a pattern's rows") : 0;
            rows_.clear();
            return Block::pattern;
        } else if (key == "end") {
            fail(at, "end without instrument or pattern");
        } else {
            fail(at, "unknown statement " + quoted(key));
        }
        return Block::none;
    }

    static std::string hex(int value) {
        static constexpr char digits[] = "0123456789ABCDEF";
        return {digits[(value >> 4) & 15], digits[value & 15]};
    }

    void instrumentLine(const Place& at, const std::vector<std::string_view>& w) {
        const std::string_view key = w[0];
        if (!wordNamed(settings, key))
            fail(at, "unknown instrument setting " + quoted(key) + didYouMean(key, namesOf(settings)));
        auto count = [&](std::size_t n) {
            if (w.size() != n + 1)
                fail(at, std::string(key) + " takes " + std::to_string(n) + (n == 1 ? " value" : " values"));
        };
        synth::Recipe& r = recipe_;
        if (key == "length") {
            count(1);
            r.seconds = toNumber(at, w[1], 0.001, 30.0, "length");
        } else if (key == "loop") {
            if (w.size() != 3 && !(w.size() == 5 && w[3] == "after")) fail(at, "loop takes FRAMES CYCLES [after FRAMES]");
            r.loopFrames = toInt(at, w[1], 2, 1 << 20, "loop frames");
            r.loopCycles = toInt(at, w[2], 1, 1 << 20, "loop cycles");
            r.attackFrames = w.size() == 5 ? toInt(at, w[4], 0, 1 << 20, "frames before the loop") : 0;
        } else if (key == "pitch") {
            count(1);
            const int note = noteNumber(w[1]);
            r.pitchHz = note > 0 ? synth::noteHz(note) : toNumber(at, w[1], 1.0, 20000.0, "pitch");
        } else if (key == "bits") {
            count(1);
            r.bits = toInt(at, w[1], 8, 16, "bits");
            if (r.bits != 8 && r.bits != 16) fail(at, "bits must be 8 or 16");
        } else if (key == "drive") {
            count(1);
            r.drive = toNumber(at, w[1], 0.0, 100.0, "drive");
        } else if (key == "fade") {
            count(1);
            r.fade = toNumber(at, w[1], 0.0, 30.0, "fade");
        } else if (key == "peak") {
            count(1);
            r.peak = toNumber(at, w[1], 0.01, 1.0, "peak");
        } else if (key == "volume") {
            count(1);
            r.volume = toInt(at, w[1], 0, 64, "volume");
        } else if (key == "pan") {
            count(1);
            r.panning = toInt(at, w[1], 0, 255, "pan");
        } else if (key == "fadeout") {
            count(1);
            r.fadeout = toInt(at, w[1], 0, 0xFFF, "fadeout");
        } else if (key == "vibrato") {
            count(4);
            static constexpr std::string_view types[] = {"sine", "square", "down", "up"};
            const auto type = std::find(std::begin(types), std::end(types), w[1]);
            if (type == std::end(types)) fail(at, "vibrato is sine, square, down or up, not " + quoted(w[1]));
            r.vibratoType = static_cast<int>(type - std::begin(types));
            r.vibratoSweep = toInt(at, w[2], 0, 255, "vibrato sweep");
            r.vibratoDepth = toInt(at, w[3], 0, 15, "vibrato depth");
            r.vibratoRate = toInt(at, w[4], 0, 63, "vibrato rate");
        } else if (key == "envelope") {
            envelope(at, w);
        } else {
            static constexpr std::pair<std::string_view, synth::Wave> waves[] = {
                {"sine", synth::Wave::sine},         {"saw", synth::Wave::saw},     {"square", synth::Wave::square},
                {"triangle", synth::Wave::triangle}, {"noise", synth::Wave::noise}, {"metal", synth::Wave::metal}};
            const auto wave =
                std::find_if(std::begin(waves), std::end(waves), [&](const auto& p) { return p.first == key; });
            if (wave == std::end(waves)) fail(at, "unknown instrument setting " + quoted(key));
            layer(at, w, wave->second);
        }
    }

    void layer(const Place& at, const std::vector<std::string_view>& w, synth::Wave wave) {
        synth::Layer l;
        l.wave = wave;
        std::size_t i = 1;
        auto next = [&](std::string_view key) -> std::string_view {
            if (i >= w.size()) fail(at, std::string(key) + " needs a value");
            return w[i++];
        };
        while (i < w.size()) {
            const std::string_view key = w[i++];
            if (!wordNamed(layerSettings, key))
                fail(at, "unknown layer setting " + quoted(key) + didYouMean(key, namesOf(layerSettings)));
            if (key == "level") l.level = toNumber(at, next(key), -10.0, 10.0, "level");
            else if (key == "hz") l.hz = toNumber(at, next(key), 0.0, 20000.0, "hz");
            else if (key == "drop") {
                const double hz = toNumber(at, next(key), -20000.0, 20000.0, "drop");
                l.drops.push_back({hz, toNumber(at, next(key), 0.0001, 30.0, "drop time")});
            } else if (key == "detune") l.detune = toInt(at, next(key), -1000, 1000, "detune");
            else if (key == "attack") l.attack = toNumber(at, next(key), 0.0, 30.0, "attack");
            else if (key == "decay") l.decay = toNumber(at, next(key), 0.0, 30.0, "decay");
            else if (key == "damping") l.damping = toNumber(at, next(key), 0.0, 1000.0, "damping");
            else if (key == "top") l.top = toNumber(at, next(key), 1.0, 22050.0, "top");
            else if (key == "q") l.q = toNumber(at, next(key), 0.1, 50.0, "q");
            else if (key == "seed") l.seed = static_cast<std::uint32_t>(toInt(at, next(key), 0, 0x7FFFFFFF, "seed"));
            else if (key == "sweep") {
                l.sweepTo = toNumber(at, next(key), 1.0, 22050.0, "sweep");
                l.sweepSeconds = toNumber(at, next(key), 0.0001, 30.0, "sweep time");
            } else if (key == "lowpass" || key == "highpass" || key == "bandpass") {
                l.filter = key == "lowpass" ? synth::FilterType::lowPass
                           : key == "highpass" ? synth::FilterType::highPass
                                               : synth::FilterType::bandPass;
                l.cutoff = toNumber(at, next(key), 1.0, 22050.0, std::string(key));
            } else {
                fail(at, "unknown layer setting " + quoted(key));
            }
        }
        recipe_.layers.push_back(std::move(l));
    }

    void envelope(const Place& at, const std::vector<std::string_view>& w) {
        XmEnvelope& e = recipe_.volumeEnvelope;
        e = XmEnvelope{};
        for (std::size_t i = 1; i < w.size(); ++i) {
            if (w[i] == "sustain" && i + 1 < w.size()) {
                e.sustain = toInt(at, w[++i], 0, 11, "sustain point");
            } else if (w[i] == "loop" && i + 2 < w.size()) {
                e.loopStart = toInt(at, w[++i], 0, 11, "loop start point");
                e.loopEnd = toInt(at, w[++i], 0, 11, "loop end point");
            } else {
                const std::size_t colon = w[i].find(':');
                if (colon == std::string_view::npos) fail(at, "envelope points are TICK:VALUE, not " + quoted(w[i]));
                const int tick = toInt(at, w[i].substr(0, colon), 0, 0xFFFF, "envelope tick");
                const int value = toInt(at, w[i].substr(colon + 1), 0, 64, "envelope value");
                if (e.points.empty() ? tick != 0 : tick <= e.points.back().tick)
                    fail(at, "envelope ticks start at 0 and rise");
                e.points.push_back({tick, value});
            }
        }
        const int points = static_cast<int>(e.points.size());
        if (points == 0 || points > 12) fail(at, "an envelope has 1 to 12 points");
        if (e.sustain >= points || e.loopStart >= points || e.loopEnd >= points || e.loopStart > e.loopEnd)
            fail(at, "envelope sustain or loop names a missing point");
    }

    // Checked here, synthesised once the whole song is read: a song over the budget is refused
    // before any of its instruments costs anything.
    void endInstrument(const Place& at) {
        if (recipe_.layers.empty()) fail(at, "instrument " + recipe_.name + " has no sound: give it a layer");
        if (recipe_.looped() == (recipe_.seconds > 0.0))
            fail(at, "instrument " + recipe_.name + " needs a length or a loop, not both");
        try {
            synth::validate(recipe_);
        } catch (const std::invalid_argument& e) {
            fail(at, e.what());
        }
        songWork_ += synth::work(recipe_);
        if (songWork_ > synth::maxSongWork)
            fail(at, "the song's instruments come to " + std::to_string(songWork_) +
                         " partial-samples of synthesis, over the budget of " + std::to_string(synth::maxSongWork));
        recipes_.emplace_back(std::move(recipe_), at);
    }

    void rowLine(const Place& at, std::string_view line) {
        std::vector<std::string_view> fields;
        for (std::size_t start = 0;;) {
            const std::size_t bar = line.find('|', start);
            fields.push_back(line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
            if (bar == std::string_view::npos) break;
            start = bar + 1;
        }
        const std::vector<std::string_view> number = words(fields[0]);
        const int next = static_cast<int>(rows_.size()) / module_.channels;
        if (number.size() != 1) fail(at, "a row starts with its number and a |");
        // Rows left out are empty: a pattern need only write the rows that hold something.
        const int expected = toInt(at, number[0], 0, 255, "row number");
        if (expected < next)
            fail(at, "row " + std::to_string(next) + (next == 0 ? "" : " or a later one") + " comes next, not " +
                         std::string(number[0]));
        if (patternRows_ > 0 && expected >= patternRows_)
            fail(at, "pattern " + patternName_ + " has rows 0 to " + std::to_string(patternRows_ - 1) + ", not " +
                         std::string(number[0]));
        rows_.resize(static_cast<std::size_t>(expected) * static_cast<std::size_t>(module_.channels));
        const int cells = static_cast<int>(fields.size()) - 1;
        if (cells != module_.channels)
            fail(at, "row " + std::to_string(expected) + " needs " + std::to_string(module_.channels) +
                         " cells, one a channel, not " + std::to_string(cells));
        for (int channel = 0; channel < cells; ++channel)
            rows_.push_back(cell(at, words(fields[static_cast<std::size_t>(channel) + 1]), channel + 1));
    }

    XmNote cell(const Place& at, const std::vector<std::string_view>& w, int channel) {
        XmNote c;
        if (w.empty()) return c;
        const std::string where = "channel " + std::to_string(channel) + ": ";
        if (w.size() != 4) fail(at, where + "a cell is note, instrument, volume and effect, or blank");
        if (w[0] == "===") {
            c.note = XmNote::keyOff;
        } else if (w[0] != "...") {
            const int note = noteNumber(w[0]);
            if (note == 0) fail(at, where + "no note " + quoted(w[0]) + " between C-0 and B-7");
            c.note = static_cast<std::uint8_t>(note);
        }
        if (!(w[1].size() == 2 && dots(w[1]))) {
            const int instrument = toInt(at, w[1], 1, 128, where + "instrument", 16);
            if (instrument > static_cast<int>(recipes_.size()))
                fail(at, where + "instrument " + std::string(w[1]) + " is not defined before this pattern");
            c.instrument = static_cast<std::uint8_t>(instrument);
        }
        if (!(w[2].size() == 3 && dots(w[2]))) {
            if (w[2].size() != 3 || w[2][0] != 'v') fail(at, where + "the volume column is vHH or ..., not " + quoted(w[2]));
            c.volume = XmNote::setVolume(toInt(at, w[2].substr(1), 0, 0x40, where + "volume", 16));
        }
        if (!(w[3].size() == 3 && dots(w[3]))) {
            const char type = w[3].empty() ? ' ' : w[3][0];
            const bool digit = type >= '0' && type <= '9', letter = type >= 'A' && type <= 'Z';
            if (w[3].size() != 3 || !(digit || letter))
                fail(at, where + "an effect is a type 0-9 or A-Z and two hex digits, not " + quoted(w[3]));
            c.effect = static_cast<std::uint8_t>(digit ? type - '0' : type - 'A' + 10);
            c.param = static_cast<std::uint8_t>(toInt(at, w[3].substr(1), 0, 255, where + "effect parameter", 16));
            // A speed or tempo change keeps every row in its order and play's time along the
            // song only grows, which the music's shape follows; these move rows or repeat them.
            const bool clock = type == 'B' || type == 'D' ||
                               (type == 'E' && (c.param >> 4 == 0x6 || c.param >> 4 == 0xE));
            if (clock) fail(at, where + "effect " + std::string(w[3]) + " would move the clock the show keeps to");
            if (!wordNamed(effects, w[3].substr(0, 1)))
                fail(at, where + "no effect " + quoted(w[3]) + ": FastTracker 2's are 0-9, A, C, E, F, G, H, K, L, P, R, T and X");
        }
        return c;
    }

    void endPattern(const Place& at) {
        const int rows = patternRows_ > 0 ? patternRows_ : static_cast<int>(rows_.size()) / module_.channels;
        rows_.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(module_.channels));
        if (rows < 1 || rows > 256) fail(at, "pattern " + patternName_ + " must have 1 to 256 rows");
        XmPattern pattern(rows, module_.channels);
        pattern.cells = std::move(rows_);
        rows_.clear();
        patternIndex_[patternName_] = static_cast<int>(module_.patterns.size());
        module_.patterns.push_back(std::move(pattern));
    }

    void finish(const Place& song) {
        if (orders_.empty()) fail(song, "the song has no order list");
        for (const auto& [recipe, at] : recipes_) {
            try {
                module_.instruments.push_back(synth::render(recipe));
            } catch (const std::invalid_argument& e) {
                fail(at, e.what());
            }
        }
        if (orders_.size() > 256) fail(orders_[256].second, "more than 256 orders");
        for (const auto& [name, at] : orders_) {
            const auto found = patternIndex_.find(name);
            if (found == patternIndex_.end()) fail(at, "no pattern named " + name);
            module_.orders.push_back(found->second);
        }
        try {
            writeXm(module_);
        } catch (const std::invalid_argument& e) {
            fail(orders_.front().second, e.what());
        }
    }

    fs::path folder_;
    int includes_ = 0;
    long lines_ = 0;
    std::size_t bytes_ = 0;
    long long songWork_ = 0;
    std::vector<std::pair<synth::Recipe, Place>> recipes_;
    fs::path namesFrom_;
    XmModule module_;
    bool channelsSet_ = false;
    int patternRows_ = 0;  // as the pattern's first line gives them, 0 when it does not
    synth::Recipe recipe_;
    std::string patternName_;
    std::vector<XmNote> rows_;
    std::map<std::string, int> patternIndex_;
    std::vector<std::pair<std::string, Place>> orders_;
};

} // namespace

XmModule compileSong(const fs::path& path, const fs::path& namesFrom) {
    const fs::path relative = namesFrom.empty() ? path : path.lexically_relative(namesFrom);
    std::string text;
    try {
        text = SourceFiles::read(path, (relative.empty() ? path : relative).generic_string());
    } catch (const std::runtime_error& e) {
        throw SongError(e.what());
    }
    return compileSongText(text, path, namesFrom);
}

XmModule compileSongText(const std::string& text, const fs::path& path, const fs::path& namesFrom) {
    return Compiler(namesFrom).run(text, path);
}

std::string songNotation() {
    std::ostringstream text;
    auto list = [&text](std::string_view heading, const auto& table) {
        text << heading << '\n';
        for (const Word& w : table) text << "  " << w.form << "\n      " << w.meaning << '\n';
    };
    list("Statements", statements);
    list("Instrument settings, one a line between instrument and end", settings);
    list("Layer settings, after a layer's wave on its line", layerSettings);
    list("Effects, the last column of a cell: a letter and two hex digits", effects);
    text << "Refused, as they would move the clock the show keeps to: " << clockEffects << '\n';
    return text.str();
}
