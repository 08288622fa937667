#include "platform/Module.h"
#include "tools/FirstSong.h"
#include "tools/Synth.h"
#include "tools/XmWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr double secondsPerOrder = 64 * 6 * 2.5 / 125;

std::vector<float> render(Module& module, double seconds) {
    std::vector<float> samples(2 * static_cast<std::size_t>(seconds * Module::sampleRate));
    const std::size_t frames = module.render(samples.data(), samples.size() / 2);
    samples.resize(2 * frames);
    return samples;
}

double rms(const float* first, const float* last) {
    double sum = 0.0;
    for (const float* p = first; p != last; ++p) sum += double{*p} * *p;
    return last == first ? 0.0 : std::sqrt(sum / static_cast<double>(last - first));
}

unsigned u16(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) { return u16(b, at) | std::uint32_t{u16(b, at + 2)} << 16; }
std::vector<std::uint8_t> slice(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t count) {
    return {b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + count)};
}

// Two channels, two rows, one 16-bit looped sample and one 8-bit one.
XmModule tinyModule() {
    XmModule m;
    m.name = "tiny";
    m.channels = 2;
    m.orders = {0, 0};
    XmPattern& p = m.patterns.emplace_back(2, 2);
    p.at(0, 0) = {49, 1, 0x40, 0x0C, 0x20};
    p.at(0, 1) = {49, 0, 0, 0, 0};
    p.at(1, 1) = {XmNote::keyOff, 0, 0x30, 0, 0};
    XmInstrument& wide = m.instruments.emplace_back();
    XmSample& s = wide.samples.emplace_back();
    s.pcm16 = {100, 300, -200, 32767, -32768};
    s.loop = XmLoop::forward;
    s.loopStart = 1;
    s.loopLength = 3;
    XmInstrument& narrow = m.instruments.emplace_back();
    narrow.samples.emplace_back().pcm8 = {10, -10, 127};
    return m;
}

// Fundamental from the autocorrelation peak eight periods out: far enough for a fine reading,
// close enough that a neighbouring semitone cannot be mistaken for it.
double measuredHz(const std::vector<float>& stereo, double expectedHz) {
    std::vector<double> mono(stereo.size() / 2);
    for (std::size_t i = 0; i < mono.size(); ++i) mono[i] = double{stereo[2 * i]} + stereo[2 * i + 1];
    const double period = Module::sampleRate / expectedHz;
    const auto lowest = static_cast<std::size_t>(7.5 * period);
    const auto highest = static_cast<std::size_t>(8.5 * period);
    const std::size_t window = mono.size() - highest - 1;
    std::vector<double> score(highest + 2, 0.0);
    std::size_t best = lowest;
    for (std::size_t lag = lowest - 1; lag <= highest + 1; ++lag) {
        double cross = 0.0, a = 0.0, b = 0.0;
        for (std::size_t i = 0; i < window; ++i) {
            cross += mono[i] * mono[i + lag];
            a += mono[i] * mono[i];
            b += mono[i + lag] * mono[i + lag];
        }
        score[lag] = cross / std::sqrt(a * b + 1e-30);
        if (lag >= lowest && lag <= highest && score[lag] > score[best]) best = lag;
    }
    const double left = score[best - 1], middle = score[best], right = score[best + 1];
    const double offset = 0.5 * (left - right) / (left - 2.0 * middle + right);
    return 8.0 * Module::sampleRate / (static_cast<double>(best) + offset);
}

} // namespace

TEST(FirstSong, KeepsTheShowClockOf37OrdersAt768SecondsEach) {
    const XmModule song = composeFirstSong();
    EXPECT_EQ(song.speed, 6);
    EXPECT_EQ(song.bpm, 125);
    // Anything that moves the clock inside the song: jumps, breaks, speed, pattern loops and delays.
    for (const XmPattern& pattern : song.patterns) {
        EXPECT_EQ(pattern.rows, 64);
        for (const XmNote& cell : pattern.cells) {
            EXPECT_TRUE(cell.effect != 0x0B && cell.effect != 0x0D && cell.effect != 0x0F);
            EXPECT_FALSE(cell.effect == 0x0E && (cell.param >> 4 == 0x6 || cell.param >> 4 == 0xE));
        }
    }

    const std::vector<std::uint8_t> bytes = writeXm(song);
    Module module("Super.xm", bytes);
    EXPECT_EQ(module.orderCount(), 37);
    EXPECT_NEAR(module.durationSeconds(), 37 * secondsPerOrder, 0.01);
    for (const int order : {2, 11, 23, 36}) {
        module.seekOrder(order);
        EXPECT_NEAR(module.positionSeconds(), order * secondsPerOrder, 0.01) << "order " << order;
    }
}

TEST(FirstSong, BandEntersLoudOnOrder2AndTheEndDiesAway) {
    const std::vector<std::uint8_t> bytes = writeXm(composeFirstSong());
    Module module("Super.xm", bytes);
    const std::vector<float> intro = render(module, 2.0);
    module.seekOrder(2);
    const std::vector<float> band = render(module, 2.0);
    EXPECT_GT(rms(band.data(), band.data() + band.size()), 0.05);
    EXPECT_GT(rms(band.data(), band.data() + band.size()), 3.0 * rms(intro.data(), intro.data() + intro.size()));

    module.seekOrder(36);
    const std::vector<float> last = render(module, secondsPerOrder + 1.0);
    EXPECT_TRUE(module.ended());
    const std::size_t halfSecond = Module::sampleRate; // stereo values
    ASSERT_GT(last.size(), 2 * halfSecond);
    EXPECT_GT(rms(last.data(), last.data() + halfSecond), 0.02) << "the last order opens on a crash";
    EXPECT_LT(rms(last.data() + last.size() - halfSecond, last.data() + last.size()), 0.001);
}

TEST(FirstSong, ComesOutByteForByteTheSameEachTime) { EXPECT_EQ(writeXm(composeFirstSong()), writeXm(composeFirstSong())); }

TEST(XmWriter, PacksCellsAndDeltaEncodesSamples) {
    const std::vector<std::uint8_t> b = writeXm(tinyModule());

    EXPECT_EQ(std::memcmp(b.data(), "Extended Module: tiny", 21), 0);
    EXPECT_EQ(b[37], 0x1A);
    EXPECT_EQ(u16(b, 58), 0x0104u);
    EXPECT_EQ(u32(b, 60), 276u);
    // song length, restart, channels, patterns, instruments, flags, speed, BPM, orders
    EXPECT_EQ(slice(b, 64, 18), (std::vector<std::uint8_t>{2, 0, 0, 0, 2, 0, 1, 0, 2, 0, 1, 0, 6, 0, 125, 0, 0, 0}));

    const std::size_t pattern = 60 + 276;
    EXPECT_EQ(u32(b, pattern), 9u);
    EXPECT_EQ(u16(b, pattern + 5), 2u);
    // A cell of four or more columns goes whole; others get a mask byte; an empty one is 0x80.
    const std::vector<std::uint8_t> cells{49, 1, 0x40, 0x0C, 0x20, 0x81, 49, 0x80, 0x85, 97, 0x30};
    EXPECT_EQ(u16(b, pattern + 7), cells.size());
    EXPECT_EQ(slice(b, pattern + 9, cells.size()), cells);

    const std::size_t instrument = pattern + 9 + cells.size();
    EXPECT_EQ(u32(b, instrument), 263u);
    EXPECT_EQ(u16(b, instrument + 27), 1u);
    EXPECT_EQ(u32(b, instrument + 29), 40u);
    const std::size_t sample = instrument + 263;
    // Lengths and loop points count bytes; type 0x11 is a forward loop of 16-bit data.
    EXPECT_EQ(u32(b, sample), 10u);
    EXPECT_EQ(u32(b, sample + 4), 2u);
    EXPECT_EQ(u32(b, sample + 8), 6u);
    EXPECT_EQ(b[sample + 14], 0x11);
    // 100, 300, -200, 32767, -32768 as differences that wrap in 16 bits.
    EXPECT_EQ(slice(b, sample + 40, 10), (std::vector<std::uint8_t>{100, 0, 200, 0, 0x0C, 0xFE, 0xC7, 0x80, 1, 0}));

    const std::size_t narrow = sample + 50;
    EXPECT_EQ(b[narrow + 263 + 14], 0x00);
    EXPECT_EQ(slice(b, narrow + 263 + 40, 3), (std::vector<std::uint8_t>{10, 0xEC, 0x89}));
    EXPECT_EQ(b.size(), narrow + 263 + 43);

    Module module("tiny.xm", b);
    EXPECT_EQ(module.orderCount(), 2);
    EXPECT_NEAR(module.durationSeconds(), 2 * 2 * 6 * 2.5 / 125, 0.005);
}

TEST(XmWriter, RefusesWhatFastTracker2CannotHold) {
    const std::vector<std::pair<const char*, std::function<void(XmModule&)>>> cases{
        {"odd channel count", [](XmModule& m) { m.channels = 3; }},
        {"too many channels", [](XmModule& m) { m.channels = 34; }},
        {"pattern of another width", [](XmModule& m) { m.patterns[0] = XmPattern(2, 4); }},
        {"no rows", [](XmModule& m) { m.patterns[0] = XmPattern(0, 2); }},
        {"257 rows", [](XmModule& m) { m.patterns[0] = XmPattern(257, 2); }},
        {"no orders", [](XmModule& m) { m.orders.clear(); }},
        {"257 orders", [](XmModule& m) { m.orders.assign(257, 0); }},
        {"missing pattern", [](XmModule& m) { m.orders[1] = 1; }},
        {"restart past the end", [](XmModule& m) { m.restart = 2; }},
        {"missing instrument", [](XmModule& m) { m.patterns[0].at(1, 0).instrument = 3; }},
        {"note past key-off", [](XmModule& m) { m.patterns[0].at(1, 0).note = 98; }},
        {"loop past the end", [](XmModule& m) { m.instruments[0].samples[0].loopLength = 5; }},
        {"13 envelope points", [](XmModule& m) { m.instruments[0].volumeEnvelope.points.resize(13); }},
        {"sample map past the samples", [](XmModule& m) { m.instruments[0].sampleForNote[40] = 1; }},
    };
    EXPECT_NO_THROW(writeXm(tinyModule()));
    for (const auto& [name, spoil] : cases) {
        XmModule m = tinyModule();
        spoil(m);
        EXPECT_THROW(writeXm(m), std::invalid_argument) << name;
    }
}

TEST(Synth, PitchedInstrumentsSoundAtTheWrittenNote) {
    struct Case {
        const char* name;
        XmInstrument (*make)();
        int note;
    };
    for (const Case& c : {Case{"bass", synth::bass, 34}, Case{"pad", synth::pad, 46}, Case{"lead", synth::lead, 70},
                          Case{"pluck", synth::pluck, 65}}) {
        XmModule m;
        m.channels = 2;
        m.orders = {0};
        m.patterns.emplace_back(64, 2).at(0, 0) = {static_cast<std::uint8_t>(c.note), 1, 0, 0, 0};
        m.instruments.push_back(c.make());
        Module module(c.name, writeXm(m));
        render(module, 0.15);
        const double expected = synth::noteHz(c.note);
        const double cents = 1200.0 * std::log2(measuredHz(render(module, 0.5), expected) / expected);
        EXPECT_NEAR(cents, 0.0, 8.0) << c.name;
    }
}
