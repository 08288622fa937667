#include "TestImages.h"
#include "platform/Module.h"
#include "tools/SongSource.h"
#include "tools/Synth.h"
#include "tools/XmWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path songSource = fs::path(__FILE__).parent_path().parent_path() / "assets" / "music" / "super.song";
constexpr double secondsPerOrder = 64 * 0.12;

std::vector<std::uint8_t> builtModule() {
    std::ifstream in(fs::path(TINDREL_BUILD_DATA_DIR) / "Super.xm", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The song as compiled from its source, once for the tests that read its parts.
const XmModule& song() {
    static const XmModule compiled = compileSong(songSource);
    return compiled;
}

// What the show plays, as the show's player renders it: made once, shared by every test here.
const std::vector<float>& showMusic() {
    static const std::vector<float> samples = [] {
        Module module("Super.xm", builtModule());
        std::vector<float> all;
        std::vector<float> block(2 * 44100);
        while (!module.ended()) {
            const std::size_t frames = module.render(block.data(), block.size() / 2);
            all.insert(all.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(2 * frames));
        }
        return all;
    }();
    return samples;
}

// RMS of both channels over [from, to) seconds of the show's music.
double level(double from, double to) {
    const std::vector<float>& music = showMusic();
    const auto first = static_cast<std::size_t>(std::lround(std::max(0.0, from) * Module::sampleRate)) * 2;
    const auto last = std::min(music.size(), static_cast<std::size_t>(std::lround(to * Module::sampleRate)) * 2);
    double sum = 0.0;
    for (std::size_t i = first; i < last; ++i) sum += double{music[i]} * music[i];
    return last > first ? std::sqrt(sum / static_cast<double>(last - first)) : 0.0;
}

double decibels(double ratio) { return 20.0 * std::log10(ratio); }

const XmInstrument& instrumentNamed(const XmModule& song, const std::string& name) {
    const auto found = std::find_if(song.instruments.begin(), song.instruments.end(),
                                    [&](const XmInstrument& i) { return i.name == name; });
    if (found == song.instruments.end()) throw std::runtime_error("no instrument " + name);
    return *found;
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

TEST(Song, KeepsTheShowClockOf37OrdersAt768SecondsEach) {
    EXPECT_EQ(song().speed, 6);
    EXPECT_EQ(song().bpm, 125);
    for (const XmPattern& pattern : song().patterns) EXPECT_EQ(pattern.rows, 64);

    Module module("Super.xm", builtModule());
    EXPECT_EQ(module.orderCount(), 37);
    EXPECT_NEAR(module.durationSeconds(), 37 * secondsPerOrder, 0.01);
    for (const int order : {2, 11, 23, 36}) {
        module.seekOrder(order);
        EXPECT_NEAR(module.positionSeconds(), order * secondsPerOrder, 0.01) << "order " << order;
    }
}

TEST(Song, EveryAccentTheShowFlashesOnIsHeardAsAnOnset) {
    struct Accent {
        int order, row;
    };
    // The white flashes, and order 10 row 17, where the scroller's picture turns to negative.
    static constexpr Accent accents[] = {{2, 0},  {4, 0},  {6, 0},  {7, 32}, {7, 40}, {7, 48}, {7, 56},
                                         {10, 17}, {11, 0}, {13, 0}, {15, 0}, {17, 0}, {19, 0}, {23, 0},
                                         {25, 0}, {27, 0}, {29, 0}, {32, 0}, {34, 0}, {36, 0}};
    for (const Accent& a : accents) {
        const double at = a.order * secondsPerOrder + a.row * 0.12;
        const double rise = decibels(level(at, at + 0.1) / level(at - 0.5, at));
        EXPECT_GE(rise, 3.0) << a.order << ":" << a.row;
    }
}

TEST(Song, TheLastChorusStandsAboveTheMainTheme) {
    const double theme = level(23 * secondsPerOrder, 27 * secondsPerOrder);
    const double finale = level(32 * secondsPerOrder, 36 * secondsPerOrder);
    EXPECT_GE(decibels(finale / theme), 1.5);
}

TEST(Song, StaysBelowFullScaleAndDiesAwayAtTheEnd) {
    const std::vector<float>& music = showMusic();
    const double seconds = static_cast<double>(music.size() / 2) / Module::sampleRate;
    EXPECT_GE(seconds, 280.0);
    EXPECT_LE(seconds, 290.0);
    float peak = 0.0f;
    for (const float v : music) peak = std::max(peak, std::fabs(v));
    EXPECT_LT(peak, 1.0f) << "clipped";

    EXPECT_LT(level(0.0, secondsPerOrder), 0.5 * level(2 * secondsPerOrder, 3 * secondsPerOrder)) << "a quiet intro";
    EXPECT_LT(level(seconds - 0.5, seconds), 1e-4) << "silence at the end";
}

TEST(Song, BuildsByteForByteTheSameAsTheShowsModule) {
    const std::vector<std::uint8_t> once = writeXm(song());
    EXPECT_EQ(once, writeXm(compileSong(songSource)));
    EXPECT_EQ(once, builtModule());
}

TEST(Song, CapturesAloneIntoMusicWav) {
    const fs::path dir = TestImages::scratch("music-only");
    const std::string command = "'" TINDREL_BINARY "' capture '" + dir.string() +
                                "' --audio-only --from 36 --to 36 --data '" TINDREL_BUILD_DATA_DIR "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // Order 36 alone: 7.68 s of 16-bit stereo after the 44-byte header, and not one frame.
    EXPECT_EQ(fs::file_size(dir / "music.wav"), 44u + 338688u * 4u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(Synth, PitchedInstrumentsSoundAtTheWrittenNote) {
    struct Case {
        const char* name;
        int note;
    };
    for (const Case& c : {Case{"bass", 34}, Case{"pad", 46}, Case{"lead", 70}, Case{"pluck", 65}, Case{"bell", 61}}) {
        XmModule m;
        m.channels = 2;
        m.orders = {0};
        m.patterns.emplace_back(64, 2).at(0, 0) = {static_cast<std::uint8_t>(c.note), 1, 0, 0, 0};
        m.instruments.push_back(instrumentNamed(song(), c.name));
        Module module(c.name, writeXm(m));
        std::vector<float> sound(2 * 44100 * 65 / 100);
        module.render(sound.data(), sound.size() / 2);
        // From 0.15 s: past the attack, into what the note holds.
        sound.erase(sound.begin(), sound.begin() + 2 * 44100 * 15 / 100);
        const double expected = synth::noteHz(c.note);
        const double cents = 1200.0 * std::log2(measuredHz(sound, expected) / expected);
        EXPECT_NEAR(cents, 0.0, 8.0) << c.name;
    }
}

TEST(Synth, LoopsComeRoundWithoutAStep) {
    int looped = 0;
    for (const XmInstrument& instrument : song().instruments) {
        const XmSample& s = instrument.samples.at(0);
        if (s.loop == XmLoop::none) continue;
        ++looped;
        ASSERT_FALSE(s.pcm16.empty()) << instrument.name;
        const auto value = [&](std::size_t i) { return static_cast<int>(s.pcm16[i]); };
        const std::size_t first = s.loopStart, last = s.loopStart + s.loopLength - 1;
        int largest = 0;
        for (std::size_t i = first; i < last; ++i) largest = std::max(largest, std::abs(value(i + 1) - value(i)));
        EXPECT_LE(std::abs(value(first) - value(last)), largest) << instrument.name;
    }
    EXPECT_GE(looped, 3);
}
