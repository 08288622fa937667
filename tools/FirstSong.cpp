#include "tools/FirstSong.h"

#include "tools/Synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace {

constexpr int orderCount = 37;
constexpr int rowsPerOrder = 64;
constexpr int rowsPerBar = 16;
constexpr int barsPerOrder = rowsPerOrder / rowsPerBar;
constexpr int totalRows = orderCount * rowsPerOrder;

// Two sets of three pad channels take turns, so one chord releases while the next swells in.
enum Channel : int {
    kickChannel,
    snareChannel,
    hatChannel,
    crashChannel,
    bassChannel,
    padChannel,
    leadChannel = padChannel + 6,
    echoChannel,
    arpChannel,
    channelCount
};

enum Instrument : int { kick = 1, snare, closedHat, openHat, crash, bass, pad, lead, pluck };

// How long a note stays audible, in rows: one-shots by their length; held notes until key-off,
// then through their release.
constexpr int held = 1 << 30;
struct Decay {
    int rows;
    int releaseRows;
};
constexpr Decay decay(int instrument) {
    switch (instrument) {
    case kick: return {4, 0};
    case snare: return {3, 0};
    case closedHat: return {1, 0};
    case openHat: return {4, 0};
    case crash: return {17, 0};
    case bass: return {held, 2};
    case pad: return {held, 16};
    case lead: return {held, 4};
    case pluck: return {6, 0};
    default: return {0, 0};
    }
}

constexpr int panning[channelCount] = {-1, -1, -1, -1, -1, 72, 128, 184, 88, 128, 168, 116, 176, -1};

// Tracker spelling: "C-4", "G#3".
constexpr int note(std::string_view name) {
    constexpr int fromA[] = {9, 11, 0, 2, 4, 5, 7};
    if (name.size() != 3 || name[0] < 'A' || name[0] > 'G' || (name[1] != '-' && name[1] != '#') || name[2] < '0' ||
        name[2] > '7')
        throw std::logic_error("bad note name");
    return 1 + (name[2] - '0') * 12 + fromA[name[0] - 'A'] + (name[1] == '#' ? 1 : 0);
}

struct Chord {
    int bass;
    std::array<int, 3> pad; // voiced close, so moving between chords the pad barely moves
    std::array<int, 3> arp; // an octave above the pad
};

constexpr Chord Am{note("A-1"), {note("A-3"), note("C-4"), note("E-4")}, {note("A-4"), note("C-5"), note("E-5")}};
constexpr Chord F{note("F-1"), {note("A-3"), note("C-4"), note("F-4")}, {note("A-4"), note("C-5"), note("F-5")}};
constexpr Chord C{note("C-2"), {note("G-3"), note("C-4"), note("E-4")}, {note("G-4"), note("C-5"), note("E-5")}};
constexpr Chord G{note("G-1"), {note("G-3"), note("B-3"), note("D-4")}, {note("G-4"), note("B-4"), note("D-5")}};
constexpr Chord Dm{note("D-2"), {note("A-3"), note("D-4"), note("F-4")}, {note("A-4"), note("D-5"), note("F-5")}};
constexpr Chord E{note("E-1"), {note("G#3"), note("B-3"), note("E-4")}, {note("G#4"), note("B-4"), note("E-5")}};
constexpr Chord Em{note("E-1"), {note("G-3"), note("B-3"), note("E-4")}, {note("G-4"), note("B-4"), note("E-5")}};

using Progression = std::array<Chord, barsPerOrder>;
constexpr Progression verse{Am, F, C, G};
constexpr Progression minor{Dm, Am, F, E};
constexpr Progression breakdown{F, G, Em, Am};

// One order of the lead each; a bar is 16 rows.
constexpr std::string_view melodyA1 = "E-5:6 D-5:2 C-5:4 B-4:2 C-5:2 | A-4:8 C-5:4 F-5:4 | E-5:6 D-5:2 E-5:4 G-5:4 | D-5:12 ---:4";
constexpr std::string_view melodyA2 = "E-5:6 D-5:2 C-5:4 B-4:2 C-5:2 | A-4:6 C-5:2 F-5:4 E-5:2 D-5:2 | E-5:4 G-5:4 C-6:4 B-5:2 G-5:2 | D-5:6 B-4:2 G-4:4 ---:4";
constexpr std::string_view melodyA2Short = "E-5:6 D-5:2 C-5:4 B-4:2 C-5:2 | A-4:6 C-5:2 F-5:4 E-5:2 D-5:2 | ---:32";
constexpr std::string_view melodyB1 = "F-5:4 E-5:2 D-5:2 A-5:8 | G-5:2 E-5:2 C-5:4 A-4:8 | C-5:2 D-5:2 F-5:4 A-5:4 G-5:2 F-5:2 | G#5:8 E-5:4 B-4:4";
constexpr std::string_view melodyB2 = "F-5:4 E-5:2 D-5:2 A-5:6 F-5:2 | E-5:6 A-5:2 C-6:4 B-5:2 A-5:2 | A-5:4 F-5:4 C-5:4 F-5:4 | E-5:4 G#5:4 B-5:4 ---:4";
constexpr std::string_view melodyC = "A-4:8 C-5:8 | B-4:8 D-5:8 | B-4:8 G-4:8 | A-4:12 ---:4";

// Arpeggio steps: 0-2 the chord's tones, 3-4 the first two an octave up.
constexpr std::array<int, 8> arpSteps{0, 1, 2, 3, 4, 3, 2, 1};

constexpr int start(int order) { return order * rowsPerOrder; }

class Score {
public:
    Score() : cells_(static_cast<std::size_t>(totalRows * channelCount)), gain_(static_cast<std::size_t>(totalRows), 1.0) {}

    XmNote& cell(int row, int channel) { return cells_[static_cast<std::size_t>(row * channelCount + channel)]; }

    void play(int row, int channel, int pitch, int instrument, int volume) {
        if (row >= totalRows) return;
        XmNote& c = cell(row, channel);
        c.note = static_cast<std::uint8_t>(pitch);
        c.instrument = static_cast<std::uint8_t>(instrument);
        c.volume = XmNote::setVolume(std::clamp(volume, 0, 64));
        // A note takes its sample's panning; channels that share an instrument are spread here.
        if (panning[channel] >= 0) {
            c.effect = 8;
            c.param = static_cast<std::uint8_t>(panning[channel]);
        }
    }

    void keyOff(int row, int channel) {
        if (row >= totalRows) return;
        cell(row, channel) = XmNote{XmNote::keyOff, 0, 0, 0, 0};
    }

    void setGain(int row, double gain) { gain_[static_cast<std::size_t>(row)] = gain; }

    // Fades are written as volume column commands, channel by channel: each row inside a fade
    // where the channel can still be heard sets the volume its last note asked for, scaled, and
    // only when that changes.
    void applyGain() {
        for (int channel = 0; channel < channelCount; ++channel) {
            int level = 0;
            int current = 0;
            int instrument = 0;
            int heardUntil = 0;
            for (int row = 0; row < totalRows; ++row) {
                XmNote& c = cell(row, channel);
                if (c.note == XmNote::keyOff) {
                    if (heardUntil == held) heardUntil = row + decay(instrument).releaseRows;
                    continue;
                }
                if (c.note != 0) {
                    instrument = c.instrument;
                    const int rows = decay(instrument).rows;
                    heardUntil = rows == held ? held : row + rows;
                }
                if (XmNote::isSetVolume(c.volume)) level = c.volume - 0x10;
                const int target = static_cast<int>(std::lround(level * gain_[static_cast<std::size_t>(row)]));
                if (XmNote::isSetVolume(c.volume) || (target != current && c.volume == 0 && row < heardUntil)) {
                    c.volume = XmNote::setVolume(target);
                    current = target;
                }
            }
        }
    }

    XmPattern pattern(int order) const {
        XmPattern result(rowsPerOrder, channelCount);
        const auto first = cells_.begin() + static_cast<std::ptrdiff_t>(start(order) * channelCount);
        std::copy(first, first + rowsPerOrder * channelCount, result.cells.begin());
        return result;
    }

private:
    std::vector<XmNote> cells_;
    std::vector<double> gain_;
};

struct Hit {
    char symbol;
    int instrument;
    int volume;
};

constexpr Hit hits[] = {
    {'K', kick, 64},      {'k', kick, 40},      {'S', snare, 58},   {'s', snare, 28},
    {'h', closedHat, 34}, {'c', closedHat, 20}, {'o', openHat, 26}, {'X', crash, 56},
};

// One bar of a drum part, a character a row: '.' leaves the row alone.
void drums(Score& score, int row, int channel, std::string_view line, int volumeOverride = -1) {
    if (line.empty()) return;
    if (line.size() != rowsPerBar) throw std::logic_error("drum line is not one bar");
    for (int i = 0; i < rowsPerBar; ++i) {
        const char symbol = line[static_cast<std::size_t>(i)];
        if (symbol == '.') continue;
        const auto hit = std::find_if(std::begin(hits), std::end(hits), [&](const Hit& h) { return h.symbol == symbol; });
        if (hit == std::end(hits)) throw std::logic_error("unknown drum symbol");
        score.play(row + i, channel, XmNote::c4, hit->instrument, volumeOverride >= 0 ? volumeOverride : hit->volume);
    }
}

// One bar of bass: 'R' the root, 'O' its octave, 'x' release, '.' hold.
void bassLine(Score& score, int row, const Chord& chord, std::string_view line, int volume) {
    if (line.empty()) return;
    if (line.size() != rowsPerBar) throw std::logic_error("bass line is not one bar");
    for (int i = 0; i < rowsPerBar; ++i) {
        switch (line[static_cast<std::size_t>(i)]) {
        case 'R': score.play(row + i, bassChannel, chord.bass, bass, volume); break;
        case 'O': score.play(row + i, bassChannel, chord.bass + 12, bass, volume - 4); break;
        case 'x': score.keyOff(row + i, bassChannel); break;
        case '.': break;
        default: throw std::logic_error("unknown bass symbol");
        }
    }
}

void padChord(Score& score, int row, const Chord& chord, int volume) {
    const int set = (row / rowsPerBar) % 2;
    for (int voice = 0; voice < 3; ++voice) {
        score.keyOff(row, padChannel + (1 - set) * 3 + voice);
        score.play(row, padChannel + set * 3 + voice, chord.pad[static_cast<std::size_t>(voice)], pad, volume);
    }
}

void padRelease(Score& score, int row) {
    for (int channel = padChannel; channel < padChannel + 6; ++channel) score.keyOff(row, channel);
}

void arpeggio(Score& score, int row, const Chord& chord, int step, int volume) {
    for (int i = 0; i < rowsPerBar / step; ++i) {
        const int index = arpSteps[static_cast<std::size_t>(i) % arpSteps.size()];
        const int pitch = index < 3 ? chord.arp[static_cast<std::size_t>(index)] : chord.arp[static_cast<std::size_t>(index - 3)] + 12;
        // Off-beat notes a little softer, so the line breathes with the beat.
        score.play(row + i * step, arpChannel, pitch, pluck, volume - (i % 2) * 4);
    }
}

enum class Echo { delayed, octave };

// "E-5:6" holds E-5 for six rows, "---:4" rests four; '|' marks bars for the reader.
void melody(Score& score, int order, std::string_view text, int volume, Echo echo) {
    int row = start(order);
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view token = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view{} : text.substr(space + 1);
        if (token == "|") continue;
        if (token.size() < 5 || token[3] != ':') throw std::logic_error("bad melody token");
        int rows = 0;
        for (const char digit : token.substr(4)) {
            if (digit < '0' || digit > '9') throw std::logic_error("bad melody length");
            rows = rows * 10 + (digit - '0');
        }
        const bool rest = token.substr(0, 3) == "---";
        // The echo trails by three rows (a dotted eighth) on the other side; in the last chorus
        // it doubles the line an octave up instead.
        const int echoRow = echo == Echo::delayed ? row + 3 : row;
        if (rest) {
            score.keyOff(row, leadChannel);
            score.keyOff(echoRow, echoChannel);
        } else {
            const int pitch = note(token.substr(0, 3));
            score.play(row, leadChannel, pitch, lead, volume);
            if (echo == Echo::delayed)
                score.play(echoRow, echoChannel, pitch, lead, volume * 2 / 5);
            else
                score.play(echoRow, echoChannel, pitch + 12, lead, volume / 3);
        }
        row += rows;
    }
    if (row != start(order + 1)) throw std::logic_error("melody is not one order long");
}

// What an order's band plays, bar by bar; empty lines stay silent.
struct Style {
    std::string_view kick, snare, hats, bass;
    int bassVolume = 0;
    int padVolume = 0;
    int arpStep = 0; // rows between arpeggio notes, 0 for none
    int arpVolume = 0;
};

constexpr Style quiet{{}, {}, {}, {}, 0, 32, 0, 0};
constexpr Style quietArp{{}, {}, {}, {}, 0, 32, 2, 20};
constexpr Style band{"K.....K...K.....", "....S.......S...", "h.c.h.c.h.c.h.c.", "R..R..O...R.O.R.", 46, 28, 2, 22};
constexpr Style groove{"K...K...K...K...", "....S.......S...", "c.o.c.o.c.o.c.oc", "x.R.x.R.x.R.x.O.", 48, 26, 0, 0};
constexpr Style still{{}, {}, "..c...c...c...c.", "R...............", 32, 34, 1, 30};
constexpr Style stillPulse{"k.......k.......", {}, "..c...c...c...c.", "R...............", 32, 34, 1, 30};
constexpr Style full{"K...K...K...K...", "....S.......S..s", "hcochcochcochcoc", "x.RRx.ORx.RRx.OR", 46, 24, 1, 16};

constexpr std::string_view fillSnare = "....S...S.ssSSSS";

void playBar(Score& score, int row, const Chord& chord, const Style& style) {
    drums(score, row, kickChannel, style.kick);
    drums(score, row, snareChannel, style.snare);
    drums(score, row, hatChannel, style.hats);
    bassLine(score, row, chord, style.bass, style.bassVolume);
    padChord(score, row, chord, style.padVolume);
    if (style.arpStep > 0) arpeggio(score, row, chord, style.arpStep, style.arpVolume);
}

void playOrder(Score& score, int order, const Progression& chords, const Style& style) {
    for (int bar = 0; bar < barsPerOrder; ++bar)
        playBar(score, start(order) + bar * rowsPerBar, chords[static_cast<std::size_t>(bar)], style);
}

void crashAt(Score& score, int row) { drums(score, row, crashChannel, "X..............."); }

// The last bar's snare turns into a roll that leads into the next order.
void fill(Score& score, int order) {
    const int row = start(order) + 3 * rowsPerBar;
    for (int i = 0; i < rowsPerBar; ++i) score.cell(row + i, snareChannel) = XmNote{};
    drums(score, row, snareChannel, fillSnare);
}

// Order 7's second half: the band stops and hits together on every second beat.
void hitsInSecondHalf(Score& score, int order) {
    for (int bar = 2; bar < barsPerOrder; ++bar) {
        const int row = start(order) + bar * rowsPerBar;
        const Chord& chord = verse[static_cast<std::size_t>(bar)];
        for (int i = 0; i < rowsPerBar; ++i)
            for (const int channel : {kickChannel, snareChannel, hatChannel, bassChannel}) score.cell(row + i, channel) = XmNote{};
        drums(score, row, kickChannel, "K.......K.......");
        drums(score, row, crashChannel, "X.......X.......");
        drums(score, row, hatChannel, "..c...c...c...c.");
        if (bar == barsPerOrder - 1) drums(score, row, snareChannel, "............S.SS");
        bassLine(score, row, chord, "R...x...R...x...", 50);
        // The lead stabs the chord's upper tones, rising through each bar, with its echo.
        for (const int hit : {0, 1}) {
            const int at = row + hit * 8;
            const int pitch = chord.arp[static_cast<std::size_t>(1 + hit)];
            score.play(at, leadChannel, pitch, lead, 40);
            score.keyOff(at + 2, leadChannel);
            score.play(at + 3, echoChannel, pitch, lead, 16);
            score.keyOff(at + 5, echoChannel);
        }
    }
}

void build(Score& score) {
    // Snare density per bar over the four orders, louder all the way.
    static constexpr std::string_view snares[] = {
        "....S.......S...", "....S.......S...", "S...S...S...S...", "S...S...S...S...",
        "S...S...S...S...", "S...S...S...S...", "S.S.S.S.S.S.S.S.", "S.S.S.S.S.S.S.S.",
        "S.S.S.S.S.S.S.S.", "S.S.S.S.S.S.S.S.", "SSSSSSSSSSSSSSSS", "SSSSSSSSSSSSSSSS",
        "SSSSSSSSSSSSSSSS", "SSSSSSSSSSSSSSSS", "SSSSSSSSSSSSSSSS", "SSSSSSSSSSSSSSSS",
    };
    constexpr int firstOrder = 19;
    constexpr int bars = 16;
    for (int bar = 0; bar < bars; ++bar) {
        const int row = start(firstOrder) + bar * rowsPerBar;
        const Chord& chord = minor[static_cast<std::size_t>(bar % barsPerOrder)];
        const bool last = bar == bars - 1;
        // The last half bar drops everything but the snare and pad, so the next order lands hard.
        drums(score, row, kickChannel, last ? "K...K..........." : "K...K...K...K...");
        drums(score, row, hatChannel, last ? "hchchchc........" : "hchchchchchchchc");
        drums(score, row, snareChannel, snares[bar], 18 + 40 * bar / (bars - 1));
        // Over the last two orders the roll climbs an octave in pitch as well.
        if (bar >= bars / 2) {
            for (int i = 0; i < rowsPerBar; ++i) {
                XmNote& hit = score.cell(row + i, snareChannel);
                const int climbed = (bar - bars / 2) * rowsPerBar + i;
                if (hit.note != 0) hit.note = static_cast<std::uint8_t>(XmNote::c4 + 12 * climbed / (bars / 2 * rowsPerBar));
            }
        }
        bassLine(score, row, chord, last ? "R.R.R.R.x......." : "R.R.R.R.R.R.R.R.", 46);
        padChord(score, row, chord, 30);
        arpeggio(score, row, chord, 1, 14 + bar);
    }
    crashAt(score, start(firstOrder));
}

void ending(Score& score) {
    constexpr int order = 36;
    const int row = start(order);
    crashAt(score, row);
    drums(score, row, kickChannel, "K...............");
    score.play(row, bassChannel, Am.bass, bass, 48);
    padChord(score, row, Am, 34);
    score.play(row, leadChannel, Am.arp[0], lead, 36);
    score.play(row + 3, echoChannel, Am.arp[0], lead, 14);
    score.play(row, arpChannel, Am.arp[2] + 12, pluck, 30);
    // Everything fades together, faster at first as the ear hears it, to nothing by the last row.
    constexpr int silentFrom = rowsPerOrder - 1;
    for (int i = 0; i < rowsPerOrder; ++i) {
        const double left = std::max(0.0, 1.0 - static_cast<double>(i) / silentFrom);
        score.setGain(row + i, left * left);
    }
    const int release = row + silentFrom - 1;
    padRelease(score, release);
    for (const int channel : {bassChannel, leadChannel, echoChannel}) score.keyOff(release, channel);
}

void compose(Score& score) {
    // Intro: the pad swells in, the arpeggio joins, a snare roll hands over to the band.
    playOrder(score, 0, verse, quiet);
    playOrder(score, 1, verse, quietArp);
    for (int i = 0; i < rowsPerOrder; ++i) score.setGain(start(0) + i, 0.25 + 0.75 * i / rowsPerOrder);
    for (int i = 0; i < 8; ++i) score.play(start(1) + 56 + i, snareChannel, XmNote::c4, snare, 12 + 4 * i);

    playOrder(score, 2, verse, band);
    playOrder(score, 3, verse, band);
    crashAt(score, start(2));
    fill(score, 3);

    const std::string_view grooveTunes[] = {melodyA1, melodyA2, melodyA1, melodyA2Short};
    for (int i = 0; i < 4; ++i) {
        playOrder(score, 4 + i, verse, groove);
        melody(score, 4 + i, grooveTunes[i], 40, Echo::delayed);
    }
    crashAt(score, start(4));
    crashAt(score, start(6));
    hitsInSecondHalf(score, 7);

    playOrder(score, 8, breakdown, still);
    playOrder(score, 9, breakdown, stillPulse);
    playOrder(score, 10, breakdown, stillPulse);
    melody(score, 9, melodyC, 30, Echo::delayed);
    melody(score, 10, melodyC, 30, Echo::delayed);
    for (int i = 0; i < rowsPerOrder; ++i) score.setGain(start(10) + i, std::pow(0.25, static_cast<double>(i) / rowsPerOrder));

    // Full choruses: four orders over the verse chords, four over the minor ones, twice over.
    for (const int first : {11, 23}) {
        for (int i = 0; i < 4; ++i) {
            playOrder(score, first + i, verse, full);
            melody(score, first + i, i % 2 == 0 ? melodyA1 : melodyA2, 42, Echo::delayed);
            playOrder(score, first + 4 + i, minor, full);
            melody(score, first + 4 + i, i % 2 == 0 ? melodyB1 : melodyB2, 42, Echo::delayed);
        }
        for (const int accent : {0, 2, 4, 6}) crashAt(score, start(first + accent));
        fill(score, first + 3);
        fill(score, first + 7);
    }

    build(score);

    playOrder(score, 31, verse, full);
    melody(score, 31, melodyA1, 42, Echo::delayed);
    fill(score, 31);

    for (int i = 0; i < 4; ++i) {
        playOrder(score, 32 + i, minor, full);
        melody(score, 32 + i, i % 2 == 0 ? melodyB1 : melodyB2, 44, Echo::octave);
    }
    crashAt(score, start(32));
    crashAt(score, start(34));
    fill(score, 35);

    ending(score);
    score.applyGain();
}

} // namespace

XmModule composeFirstSong() {
    XmModule module;
    module.name = "Super";
    module.channels = channelCount;
    module.speed = 6;
    module.bpm = 125;
    module.restart = 0;
    module.linearFrequencies = true;
    // In the order of the Instrument numbers.
    module.instruments = {synth::kick(), synth::snare(),  synth::closedHat(), synth::openHat(), synth::crash(),
                          synth::bass(), synth::pad(),    synth::lead(),      synth::pluck()};

    Score score;
    compose(score);
    // Orders that came out alike share one pattern.
    for (int order = 0; order < orderCount; ++order) {
        XmPattern pattern = score.pattern(order);
        const auto found = std::find(module.patterns.begin(), module.patterns.end(), pattern);
        if (found != module.patterns.end()) {
            module.orders.push_back(static_cast<int>(found - module.patterns.begin()));
        } else {
            module.orders.push_back(static_cast<int>(module.patterns.size()));
            module.patterns.push_back(std::move(pattern));
        }
    }
    return module;
}
