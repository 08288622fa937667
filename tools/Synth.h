#pragma once

#include "tools/XmWriter.h"

#include <cstdint>
#include <string>
#include <vector>

// Instruments synthesised from recipes into 8- or 16-bit samples at one rate. A recipe is a sum
// of layers (tones built from their partials, filtered noise, a metallic cluster), then drive,
// a fade and the XM settings. Drums sound as recorded when played on C-4; pitched instruments
// are tuned so every note sounds at its equal-tempered pitch, A-4 = 440 Hz. Looped sounds hold a
// whole number of cycles of every partial in the loop, so the loop point never clicks. Only
// integer noise and doubles in a fixed order: the same bytes on every run and build.
namespace synth {

inline constexpr int sampleRate = 44100;

// Sets relative note and finetune so that a sample holding a tone of recordedHz (at sampleRate)
// plays each note at its own pitch.
void tune(XmSample& sample, double recordedHz);

// Equal-tempered frequency of an XM note (1 = C-0, 58 = A-4).
double noteHz(int note);

enum class Wave { sine, saw, square, triangle, noise, metal };
enum class FilterType { none, lowPass, highPass, bandPass };

struct Layer {
    Wave wave = Wave::sine;
    double level = 1.0;
    // Tones of a one-shot: the frequency, and falls that start at once and die away, each adding
    // hz * exp(-t / seconds) to it. Tones of a loop: cycles added to the loop's own count.
    double hz = 0.0;
    struct Drop {
        double hz, seconds;
    };
    std::vector<Drop> drops;
    int detune = 0;
    double attack = 0.0; // seconds of linear rise
    double decay = 0.0;  // time constant in seconds; 0 holds the level
    double damping = 0.0; // extra decay rate per harmonic above the first, per second
    double top = 12000.0; // tones: no partial above this
    // Tones take a low pass only: without q a gentle slope, with q a resonant two-pole curve.
    // Noise and metal run through a state-variable filter of the type given.
    FilterType filter = FilterType::none;
    double cutoff = 0.0;
    double q = 0.0;
    // The cutoff glides on a log scale from cutoff to sweepTo over sweepSeconds, then stays.
    double sweepTo = 0.0;
    double sweepSeconds = 0.0;
    // Noise: the generator's seed. Tones: nonzero gives every partial a random starting phase.
    std::uint32_t seed = 0;
};

struct Recipe {
    std::string name;
    int bits = 16;
    // A one-shot lasts seconds; a looped sound repeats loopFrames holding loopCycles cycles of
    // its fundamental, after attackFrames that lead into it.
    double seconds = 0.0;
    int loopFrames = 0;
    int loopCycles = 0;
    int attackFrames = 0;
    double pitchHz = 0.0; // one-shots: the pitch recorded; 0 for drums
    std::vector<Layer> layers;
    double drive = 0.0; // tanh saturation after normalising; 0 for none
    double fade = 0.0;  // one-shots: seconds of linear fade to silence at the end
    double peak = 0.9;  // of full scale
    int volume = 64;
    int panning = 128;
    XmEnvelope volumeEnvelope;
    int fadeout = 0;
    int vibratoType = 0;
    int vibratoSweep = 0;
    int vibratoDepth = 0;
    int vibratoRate = 0;

    bool looped() const { return loopFrames > 0; }
};

// The work a recipe costs: samples times the partials summed into them, over all its layers.
// render refuses a recipe over maxInstrumentWork, before any work, so a slip of the pen (a saw
// at 0.01 Hz for 30 s would be 2.6e12) is a message in a moment, not hours. About 10 ns
// each: the bound is a few seconds, the show's largest instrument 9.9e6 and its song 2.0e7.
long long work(const Recipe& recipe);
inline constexpr long long maxInstrumentWork = 250'000'000;
// The same bound over a whole song's instruments.
inline constexpr long long maxSongWork = 1'000'000'000;

// Throws std::invalid_argument naming what cannot be made: a loop whose layers still move when
// it starts, for one, or one over the budget. validate does the same without the work.
void validate(const Recipe& recipe);
XmInstrument render(const Recipe& recipe);

} // namespace synth
