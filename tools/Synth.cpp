#include "tools/Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <stdexcept>
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
    explicit Noise(std::uint32_t seed) : state_(seed == 0 ? 0x2545F491u : seed) {}
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
// hats need, and takes a new cutoff on any frame without a click.
class Filter {
public:
    explicit Filter(double q) : k_(1.0 / q) {}
    void tune(double cutoffHz) {
        const double g = std::tan(std::numbers::pi * std::min(cutoffHz, 0.49 * rate) / rate);
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
    double k_;
    double a1_ = 0.0, a2_ = 0.0, a3_ = 0.0;
    double s1_ = 0.0, s2_ = 0.0;
};

[[noreturn]] void refuse(const Recipe& recipe, const std::string& what) {
    throw std::invalid_argument("instrument " + recipe.name + ": " + what);
}

double seconds(std::size_t frame) { return static_cast<double>(frame) / rate; }

// Partial amplitudes of the classic shapes; summing them as sines keeps the wave band-limited.
double partial(Wave wave, int h) {
    const bool odd = h % 2 == 1;
    switch (wave) {
    case Wave::sine: return h == 1 ? 1.0 : 0.0;
    case Wave::saw: return (odd ? 1.0 : -1.0) / h;
    case Wave::square: return odd ? 1.0 / h : 0.0;
    case Wave::triangle: return odd ? ((h / 2) % 2 == 0 ? 1.0 : -1.0) / (static_cast<double>(h) * h) : 0.0;
    default: return 0.0;
    }
}

double cutoffAt(const Layer& layer, double t) {
    if (layer.sweepSeconds <= 0.0) return layer.cutoff;
    const double along = std::min(t, layer.sweepSeconds) / layer.sweepSeconds;
    return layer.cutoff * std::pow(layer.sweepTo / layer.cutoff, along);
}

double toneFilterGain(const Layer& layer, double hz, double cutoff) {
    if (layer.filter == FilterType::none) return 1.0;
    const double r = hz / cutoff;
    if (layer.q <= 0.0) return 1.0 / std::sqrt(1.0 + r * r);
    return 1.0 / std::sqrt((1.0 - r * r) * (1.0 - r * r) + (r / layer.q) * (r / layer.q));
}

double envelopeAt(const Layer& layer, double t) {
    double level = layer.attack > 0.0 ? std::min(1.0, t / layer.attack) : 1.0;
    if (layer.decay > 0.0) level *= std::exp(-t / layer.decay);
    return level;
}

std::vector<double> envelopeOf(const Layer& layer, std::size_t frames) {
    std::vector<double> level(frames);
    for (std::size_t n = 0; n < frames; ++n) level[n] = envelopeAt(layer, seconds(n));
    return level;
}

std::vector<double> cutoffOf(const Layer& layer, std::size_t frames) {
    std::vector<double> hz(frames);
    for (std::size_t n = 0; n < frames; ++n) hz[n] = cutoffAt(layer, seconds(n));
    return hz;
}

// A loop's partials are whole multiples of rate / loopFrames, so their phase is taken from the
// frame's place in the loop by integer arithmetic: frame n and frame n + loopFrames get the very
// same bits, and the frames before the loop continue into it without a seam.
void addLoopedTone(std::vector<double>& x, const Layer& layer, const Recipe& recipe) {
    const std::int64_t loop = recipe.loopFrames;
    const std::int64_t cycles = recipe.loopCycles + layer.detune;
    const double fundamental = static_cast<double>(cycles) * rate / static_cast<double>(loop);
    const std::vector<double> envelope = envelopeOf(layer, x.size());
    const std::vector<double> cutoff = cutoffOf(layer, x.size());
    Noise phases(layer.seed);
    for (int h = 1; h * fundamental < std::min(layer.top, 0.45 * rate); ++h) {
        const double amplitude = layer.level * partial(layer.wave, h);
        const double phase = layer.seed != 0 ? std::numbers::pi * phases.next() : 0.0;
        if (amplitude == 0.0) continue;
        const std::int64_t step = h * cycles;
        for (std::size_t n = 0; n < x.size(); ++n) {
            const std::int64_t m = static_cast<std::int64_t>(n) - recipe.attackFrames;
            const std::int64_t at = ((step * m) % loop + loop) % loop;
            const double gain = toneFilterGain(layer, h * fundamental, cutoff[n]) * envelope[n];
            x[n] += amplitude * gain * std::sin(twoPi * static_cast<double>(at) / static_cast<double>(loop) + phase);
        }
    }
}

void addOneShotTone(std::vector<double>& x, const Layer& layer) {
    // The frequency of each frame, then the running phase in cycles, kept below one.
    std::vector<double> hz(x.size()), cycle(x.size());
    double position = 0.0;
    for (std::size_t n = 0; n < x.size(); ++n) {
        const double t = seconds(n);
        double f = layer.hz;
        for (const Layer::Drop& drop : layer.drops) f += drop.hz * std::exp(-t / drop.seconds);
        hz[n] = f;
        cycle[n] = position;
        position += f / rate;
        position -= std::floor(position);
    }
    const std::vector<double> envelope = envelopeOf(layer, x.size());
    const std::vector<double> cutoff = cutoffOf(layer, x.size());
    Noise phases(layer.seed);
    for (int h = 1; h * layer.hz < std::min(layer.top, 0.45 * rate); ++h) {
        const double amplitude = layer.level * partial(layer.wave, h);
        const double phase = layer.seed != 0 ? std::numbers::pi * phases.next() : 0.0;
        if (amplitude == 0.0) continue;
        for (std::size_t n = 0; n < x.size(); ++n) {
            const double f = h * hz[n];
            if (f >= 0.45 * rate) continue;
            const double damping = layer.damping > 0.0 ? std::exp(-layer.damping * (h - 1) * seconds(n)) : 1.0;
            const double gain = toneFilterGain(layer, f, cutoff[n]) * envelope[n] * damping;
            x[n] += amplitude * gain * std::sin(twoPi * (h * cycle[n]) + phase);
        }
    }
}

// Inharmonic square waves, as cymbal circuits have always used.
class Metal {
public:
    double next() {
        static constexpr double partials[] = {587.0, 845.0, 1031.0, 1442.0, 1677.0, 2205.0};
        double sum = 0.0;
        for (std::size_t p = 0; p < std::size(partials); ++p) {
            phases_[p] += partials[p] / rate;
            phases_[p] -= std::floor(phases_[p]);
            sum += phases_[p] < 0.5 ? 1.0 : -1.0;
        }
        return sum / static_cast<double>(std::size(partials));
    }

private:
    double phases_[6] = {};
};

void addFiltered(std::vector<double>& x, const Layer& layer) {
    Noise noise(layer.seed);
    Metal metal;
    Filter filter(layer.q > 0.0 ? layer.q : std::numbers::sqrt2 / 2.0);
    const bool sweeping = layer.sweepSeconds > 0.0;
    if (layer.filter != FilterType::none) filter.tune(layer.cutoff);
    for (std::size_t n = 0; n < x.size(); ++n) {
        const double t = seconds(n);
        const double source = layer.wave == Wave::noise ? noise.next() : metal.next();
        double out = source;
        if (layer.filter != FilterType::none) {
            if (sweeping && t <= layer.sweepSeconds + 1.0 / rate) filter.tune(cutoffAt(layer, t));
            filter.run(source);
            out = layer.filter == FilterType::lowPass ? filter.low
                  : layer.filter == FilterType::highPass ? filter.high
                                                          : filter.band;
        }
        x[n] += layer.level * envelopeAt(layer, t) * out;
    }
}

void check(const Recipe& recipe) {
    if (recipe.bits != 8 && recipe.bits != 16) refuse(recipe, "samples are 8 or 16 bits");
    if (recipe.looped()) {
        if (recipe.loopCycles <= 0 || recipe.attackFrames < 0) refuse(recipe, "a loop needs cycles and a start");
        const double settled = seconds(static_cast<std::size_t>(recipe.attackFrames));
        for (const Layer& layer : recipe.layers) {
            if (layer.wave == Wave::noise || layer.wave == Wave::metal)
                refuse(recipe, "noise never repeats; a loop takes tones only");
            if (!layer.drops.empty() || layer.decay > 0.0 || layer.damping > 0.0)
                refuse(recipe, "a loop holds its level and pitch; shape it with the volume envelope");
            if (layer.attack > settled || layer.sweepSeconds > settled)
                refuse(recipe, "attack and sweep must be over before the loop starts");
            if (recipe.loopCycles + layer.detune <= 0) refuse(recipe, "detune leaves no cycles in the loop");
        }
    } else {
        if (!(recipe.seconds > 0.0 && recipe.seconds <= 30.0))
            refuse(recipe, "a one-shot lasts more than 0 and at most 30 seconds");
        for (const Layer& layer : recipe.layers)
            if ((layer.wave != Wave::noise && layer.wave != Wave::metal) && !(layer.hz > 0.0))
                refuse(recipe, "a one-shot tone needs its frequency");
    }
    for (const Layer& layer : recipe.layers) {
        const bool tone = layer.wave != Wave::noise && layer.wave != Wave::metal;
        if (tone && layer.filter != FilterType::none && layer.filter != FilterType::lowPass)
            refuse(recipe, "tones take a low-pass filter only");
        if (layer.filter != FilterType::none && !(layer.cutoff > 0.0)) refuse(recipe, "a filter needs its cutoff");
        if (layer.sweepSeconds > 0.0 && (layer.filter == FilterType::none || !(layer.sweepTo > 0.0)))
            refuse(recipe, "a sweep needs a filter and where it goes");
    }
}

template <typename T>
std::vector<T> quantise(const std::vector<double>& x, double peak, long full) {
    double top = 1e-12;
    for (const double v : x) top = std::max(top, std::fabs(v));
    const double scale = peak * static_cast<double>(full) / top;
    std::vector<T> pcm(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        pcm[i] = static_cast<T>(std::clamp(std::lround(x[i] * scale), -full - 1, full));
    return pcm;
}

std::size_t frameCount(const Recipe& recipe) {
    return recipe.looped() ? static_cast<std::size_t>(recipe.attackFrames + recipe.loopFrames)
                           : static_cast<std::size_t>(std::lround(recipe.seconds * rate));
}

} // namespace

long long work(const Recipe& recipe) {
    const auto frames = static_cast<double>(frameCount(recipe));
    double total = 0.0;  // in doubles: a hostile recipe's figure overflows no integer on the way
    for (const Layer& layer : recipe.layers) {
        if (layer.wave == Wave::noise || layer.wave == Wave::metal) {
            total += frames * (layer.wave == Wave::metal ? 6.0 : 1.0);
            continue;
        }
        const double fundamental = recipe.looped()
                                       ? static_cast<double>(recipe.loopCycles + layer.detune) * rate / recipe.loopFrames
                                       : layer.hz;
        if (!(fundamental > 0.0)) continue;
        // The harmonics the tone loops over, and of them the ones that sound.
        const double harmonics = std::floor(std::min(layer.top, 0.45 * rate) / fundamental);
        const double sounding = layer.wave == Wave::sine ? std::min(harmonics, 1.0)
                                : layer.wave == Wave::saw ? harmonics
                                                          : std::ceil(harmonics / 2.0);
        total += harmonics + frames * sounding;
    }
    return total >= 9e18 ? std::numeric_limits<long long>::max() : static_cast<long long>(total);
}

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

void validate(const Recipe& recipe) {
    check(recipe);
    if (const long long cost = work(recipe); cost > maxInstrumentWork)
        refuse(recipe, "synthesis would take " + std::to_string(cost) + " partial-samples, over the budget of " +
                           std::to_string(maxInstrumentWork) + ": raise hz, lower top or shorten it");
}

XmInstrument render(const Recipe& recipe) {
    validate(recipe);
    const std::size_t length = frameCount(recipe);
    std::vector<double> x(length, 0.0);
    for (const Layer& layer : recipe.layers) {
        if (layer.wave == Wave::noise || layer.wave == Wave::metal)
            addFiltered(x, layer);
        else if (recipe.looped())
            addLoopedTone(x, layer, recipe);
        else
            addOneShotTone(x, layer);
    }
    if (recipe.drive > 0.0) {
        // A function of the value alone, so a loop stays a loop.
        double top = 1e-12;
        for (const double v : x) top = std::max(top, std::fabs(v));
        for (double& v : x) v = std::tanh(recipe.drive * v / top);
    }
    if (!recipe.looped() && recipe.fade > 0.0) {
        // One-shots end at exactly zero so nothing clicks when the sample runs out.
        const auto n = std::min(static_cast<std::size_t>(std::lround(recipe.fade * rate)), x.size());
        for (std::size_t i = 0; i < n; ++i) x[x.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(n);
    }

    XmSample sample;
    sample.name = recipe.name.substr(0, 22);
    if (recipe.bits == 16)
        sample.pcm16 = quantise<std::int16_t>(x, recipe.peak, 32767);
    else
        sample.pcm8 = quantise<std::int8_t>(x, recipe.peak, 127);
    sample.volume = recipe.volume;
    sample.panning = recipe.panning;
    if (recipe.looped()) {
        sample.loop = XmLoop::forward;
        sample.loopStart = static_cast<std::uint32_t>(recipe.attackFrames);
        sample.loopLength = static_cast<std::uint32_t>(recipe.loopFrames);
        tune(sample, recipe.loopCycles * rate / recipe.loopFrames);
    } else {
        tune(sample, recipe.pitchHz > 0.0 ? recipe.pitchHz : noteHz(XmNote::c4));
    }

    XmInstrument result;
    result.name = recipe.name.substr(0, 22);
    result.samples.push_back(std::move(sample));
    result.volumeEnvelope = recipe.volumeEnvelope;
    result.fadeout = recipe.fadeout;
    result.vibratoType = recipe.vibratoType;
    result.vibratoSweep = recipe.vibratoSweep;
    result.vibratoDepth = recipe.vibratoDepth;
    result.vibratoRate = recipe.vibratoRate;
    return result;
}

} // namespace synth
