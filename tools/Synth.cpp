#include "tools/Synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace synth {
namespace {

constexpr double rate = sampleRate;
constexpr double twoPi = 2.0 * std::numbers::pi;
// FastTracker 2 plays a sample with relative note 0 and finetune 0 at this rate on C-4.
constexpr double c4PlaybackHz = 8363.0;
constexpr int a4 = 58;

// xorshift32: tiny, and the same numbers on every machine and every run.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

// Trapezoidal state-variable filter: stays stable right up to the top of the band, which the
// hats need.
class Filter {
public:
    Filter(double cutoffHz, double q) {
        const double g = std::tan(std::numbers::pi * cutoffHz / rate);
        k_ = 1.0 / q;
        a1_ = 1.0 / (1.0 + g * (g + k_));
        a2_ = g * a1_;
        a3_ = g * a2_;
    }
    void run(double x) {
        const double v3 = x - s2_;
        const double v1 = a1_ * s1_ + a2_ * v3;
        const double v2 = s2_ + a2_ * s1_ + a3_ * v3;
        s1_ = 2.0 * v1 - s1_;
        s2_ = 2.0 * v2 - s2_;
        low = v2;
        band = v1;
        high = x - k_ * v1 - v2;
    }
    double low = 0.0, band = 0.0, high = 0.0;

private:
    double k_, a1_, a2_, a3_;
    double s1_ = 0.0, s2_ = 0.0;
};

int frames(double seconds) { return static_cast<int>(std::lround(seconds * rate)); }
double seconds(int frame) { return frame / rate; }

// One-shot sounds end at exactly zero so nothing clicks when the sample runs out.
void fadeTail(std::vector<double>& x, double seconds) {
    const int n = std::min(frames(seconds), static_cast<int>(x.size()));
    for (int i = 0; i < n; ++i) x[x.size() - 1 - static_cast<std::size_t>(i)] *= static_cast<double>(i) / n;
}

std::vector<std::int16_t> toPcm(const std::vector<double>& x, double peak = 0.9) {
    double top = 1e-12;
    for (const double v : x) top = std::max(top, std::fabs(v));
    const double scale = peak * 32767.0 / top;
    std::vector<std::int16_t> pcm(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        pcm[i] = static_cast<std::int16_t>(std::clamp(std::lround(x[i] * scale), -32768L, 32767L));
    return pcm;
}

XmInstrument instrument(std::string name, XmSample sample) {
    XmInstrument result;
    sample.name = name;
    result.name = std::move(name);
    result.samples.push_back(std::move(sample));
    return result;
}

XmSample drumSample(const std::vector<double>& x, int volume, int panning) {
    XmSample sample;
    sample.pcm16 = toPcm(x);
    sample.volume = volume;
    sample.panning = panning;
    tune(sample, noteHz(XmNote::c4));
    return sample;
}

XmSample loopedSample(const std::vector<double>& x, std::size_t loopStart, int volume, double recordedHz) {
    XmSample sample;
    sample.pcm16 = toPcm(x);
    sample.loop = XmLoop::forward;
    sample.loopStart = static_cast<std::uint32_t>(loopStart);
    sample.loopLength = static_cast<std::uint32_t>(x.size() - loopStart);
    sample.volume = volume;
    tune(sample, recordedHz);
    return sample;
}

// Sawtooth partials alternate in sign; summing them as sines keeps the wave band-limited.
double sawPartial(int harmonic) { return (harmonic % 2 == 1 ? 1.0 : -1.0) / harmonic; }

// Gain of a resonant two-pole low-pass at the given frequency.
double lowPassGain(double hz, double cutoffHz, double q) {
    const double r = hz / cutoffHz;
    return 1.0 / std::sqrt((1.0 - r * r) * (1.0 - r * r) + (r / q) * (r / q));
}

// Adds a detuned sawtooth whose every partial completes whole cycles in loopFrames.
void addLoopedSaw(std::vector<double>& x, int cycles, double amplitude, double maxHz, double cutoffHz, Noise& phases) {
    const double loopFrames = static_cast<double>(x.size());
    const double fundamental = cycles * rate / loopFrames;
    for (int h = 1; h * fundamental < maxHz; ++h) {
        const double gain = amplitude * sawPartial(h) / std::sqrt(1.0 + std::pow(h * fundamental / cutoffHz, 2.0));
        const double phase = std::numbers::pi * phases.next();
        const double step = twoPi * h * cycles / loopFrames;
        for (std::size_t n = 0; n < x.size(); ++n) x[n] += gain * std::sin(step * static_cast<double>(n) + phase);
    }
}

} // namespace

double noteHz(int note) { return 440.0 * std::pow(2.0, (note - a4) / 12.0); }

void tune(XmSample& sample, double recordedHz) {
    // Note n plays at 8363 * 2^((n - C-4 + transpose) / 12) frames a second; the tone heard is
    // recordedHz scaled by that over sampleRate. Solving for "heard = noteHz(n)" gives the
    // transpose, the same for every n.
    const double transpose = 12.0 * std::log2(noteHz(XmNote::c4) * rate / (c4PlaybackHz * recordedHz));
    const double whole = std::round(transpose);
    sample.relativeNote = static_cast<int>(whole);
    sample.finetune = std::clamp(static_cast<int>(std::lround((transpose - whole) * 128.0)), -128, 127);
}

XmInstrument kick() {
    std::vector<double> x(static_cast<std::size_t>(frames(0.42)));
    Noise noise(0x6B1C4u);
    double phase = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        // The drop from a knock to a low hum is what the ear hears as a kick.
        const double hz = 46.0 + 120.0 * std::exp(-t / 0.035) + 260.0 * std::exp(-t / 0.005);
        phase += twoPi * hz / rate;
        const double body = std::sin(phase) * std::exp(-t / 0.16);
        const double click = noise.next() * std::exp(-t / 0.0015) * 0.35;
        x[i] = std::tanh(1.6 * (body + click));
    }
    fadeTail(x, 0.03);
    return instrument("kick", drumSample(x, 64, 128));
}

XmInstrument snare() {
    std::vector<double> x(static_cast<std::size_t>(frames(0.32)));
    Noise noise(0x5AA4Eu);
    Filter rattle(1800.0, 0.6);
    double phase1 = 0.0, phase2 = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        phase1 += twoPi * (182.0 + 50.0 * std::exp(-t / 0.012)) / rate;
        phase2 += twoPi * 331.0 / rate;
        const double body = std::sin(phase1) * std::exp(-t / 0.045) + 0.45 * std::sin(phase2) * std::exp(-t / 0.03);
        rattle.run(noise.next());
        const double wires = rattle.high * std::exp(-t / 0.09) * std::min(1.0, t / 0.0015);
        x[i] = 0.8 * body + 0.9 * wires;
    }
    fadeTail(x, 0.04);
    return instrument("snare", drumSample(x, 56, 128));
}

namespace {
// Metal ringing over filtered noise; the decay sets closed hat, open hat or cymbal.
std::vector<double> metal(double length, double decay, double cutoffHz, std::uint32_t seed, double ring) {
    std::vector<double> x(static_cast<std::size_t>(frames(length)));
    Noise noise(seed);
    Filter hiss(cutoffHz, 0.7);
    Filter shimmer(cutoffHz * 1.35, 2.0);
    // Inharmonic square waves, as cymbal circuits have always used.
    static constexpr double partials[] = {587.0, 845.0, 1031.0, 1442.0, 1677.0, 2205.0};
    double phases[std::size(partials)] = {};
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        double square = 0.0;
        for (std::size_t p = 0; p < std::size(partials); ++p) {
            phases[p] += partials[p] / rate;
            square += std::fmod(phases[p], 1.0) < 0.5 ? 1.0 : -1.0;
        }
        hiss.run(noise.next());
        shimmer.run(square / std::size(partials));
        const double envelope = std::exp(-t / decay) * std::min(1.0, t / 0.001);
        x[i] = (hiss.high + ring * shimmer.band) * envelope;
    }
    fadeTail(x, std::min(0.1, length / 4));
    return x;
}
} // namespace

XmInstrument closedHat() { return instrument("closed hat", drumSample(metal(0.09, 0.02, 7500.0, 0xC105Eu, 0.5), 40, 150)); }

XmInstrument openHat() { return instrument("open hat", drumSample(metal(0.45, 0.13, 7000.0, 0x09E4u, 0.6), 36, 150)); }

XmInstrument crash() { return instrument("crash", drumSample(metal(2.0, 0.55, 3800.0, 0xC7A54u, 0.9), 48, 100)); }

XmInstrument bass() {
    // One cycle is a whole number of frames, so the held part loops on a single cycle.
    constexpr int period = 802;
    constexpr int attackCycles = 12;
    constexpr double fundamental = rate / period;
    const int attack = attackCycles * period;
    std::vector<double> x(static_cast<std::size_t>(attack + period));
    const double tau = 0.05;
    const double settled = std::exp(-seconds(attack) / tau);
    for (int n = 0; n < static_cast<int>(x.size()); ++n) {
        // The filter closes from bright to round, reaching its resting point exactly at the loop.
        const double sweep = n < attack ? (std::exp(-seconds(n) / tau) - settled) / (1.0 - settled) : 0.0;
        const double cutoff = 420.0 + 1500.0 * sweep;
        double v = 0.0;
        for (int h = 1; h <= 64; ++h) {
            const double gain = sawPartial(h) * lowPassGain(h * fundamental, cutoff, 1.3) * (h == 1 ? 1.6 : 1.0);
            v += gain * std::sin(twoPi * h * n / period);
        }
        x[static_cast<std::size_t>(n)] = v;
    }
    double top = 0.0;
    for (const double v : x) top = std::max(top, std::fabs(v));
    // A touch of saturation for warmth; a function of the wave alone keeps the cycle periodic.
    for (double& v : x) v = std::tanh(1.4 * v / top);

    XmInstrument result = instrument("bass", loopedSample(x, static_cast<std::size_t>(attack), 52, fundamental));
    result.volumeEnvelope.points = {{0, 64}, {12, 54}, {18, 0}};
    result.volumeEnvelope.sustain = 1;
    result.fadeout = 0x800;
    return result;
}

XmInstrument pad() {
    // 1.5 s loop: three saws at 329, 330 and 331 cycles beat slowly against each other, and each
    // comes back to its starting phase exactly at the loop point.
    constexpr int loopFrames = 66150;
    constexpr int cycles = 330;
    std::vector<double> x(static_cast<std::size_t>(loopFrames));
    Noise phases(0x9AD5u);
    for (const int detune : {-1, 0, 1}) addLoopedSaw(x, cycles + detune, 1.0, 7000.0, 1600.0, phases);
    const double step = twoPi * (cycles / 2) / loopFrames;
    for (std::size_t n = 0; n < x.size(); ++n) x[n] += 0.35 * std::sin(step * static_cast<double>(n));

    XmInstrument result = instrument("pad", loopedSample(x, 0, 40, cycles * rate / loopFrames));
    result.volumeEnvelope.points = {{0, 0}, {30, 64}, {110, 50}, {190, 0}};
    result.volumeEnvelope.sustain = 2;
    result.fadeout = 0x180;
    return result;
}

XmInstrument lead() {
    // 0.5 s loop holding 294 and 295 cycles: about D-5, with a two-hertz shimmer.
    constexpr int loopFrames = 22050;
    constexpr int cycles = 294;
    std::vector<double> x(static_cast<std::size_t>(loopFrames));
    for (const int detune : {0, 1}) {
        const double fundamental = (cycles + detune) * rate / loopFrames;
        for (int h = 1; h * fundamental < 9000.0; ++h) {
            // Saw and square blended: the odd partials carry it, the even ones soften it.
            const double partial = 0.6 * sawPartial(h) + (h % 2 == 1 ? 0.4 / h : 0.0);
            const double gain = partial / std::sqrt(1.0 + std::pow(h * fundamental / 3200.0, 2.0));
            const double stepPerFrame = twoPi * h * (cycles + detune) / loopFrames;
            for (std::size_t n = 0; n < x.size(); ++n) x[n] += gain * std::sin(stepPerFrame * static_cast<double>(n));
        }
    }
    XmInstrument result = instrument("lead", loopedSample(x, 0, 44, cycles * rate / loopFrames));
    result.volumeEnvelope.points = {{0, 0}, {2, 64}, {30, 46}, {44, 0}};
    result.volumeEnvelope.sustain = 2;
    result.fadeout = 0x400;
    result.vibratoType = 0;
    result.vibratoSweep = 60;
    result.vibratoDepth = 3;
    result.vibratoRate = 18;
    return result;
}

XmInstrument pluck() {
    const double fundamental = noteHz(a4);
    std::vector<double> x(static_cast<std::size_t>(frames(0.7)));
    for (int h = 1; h * fundamental < 10000.0; ++h) {
        const double step = twoPi * h * fundamental / rate;
        // Upper partials die first, as on a plucked string.
        const double decay = 3.5 + 1.8 * (h - 1);
        const double gain = std::pow(1.0 / h, 0.9);
        for (std::size_t n = 0; n < x.size(); ++n) {
            const double t = seconds(static_cast<int>(n));
            x[n] += gain * std::exp(-decay * t) * std::sin(step * static_cast<double>(n));
        }
    }
    for (std::size_t n = 0; n < x.size(); ++n) x[n] *= std::min(1.0, seconds(static_cast<int>(n)) / 0.002);
    fadeTail(x, 0.03);
    XmSample sample;
    sample.pcm16 = toPcm(x);
    sample.volume = 44;
    sample.panning = 110;
    tune(sample, fundamental);
    return instrument("pluck", std::move(sample));
}

} // namespace synth
