#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// An in-memory FastTracker 2 module (XM 1.04) as the asset generator composes it, and the writer
// that turns it into the file the show plays. Everything here is plain data so a composer can
// build it freely; writeXm checks it as a whole before writing a byte.

// One cell of a pattern. Zero in any field means "nothing there", as in the file.
struct XmNote {
    static constexpr std::uint8_t keyOff = 97;
    // Notes run 1 (C-0) to 96 (B-7); C-4 is 49.
    static constexpr std::uint8_t c4 = 49;

    // Volume column command that sets the channel volume (0..64).
    static constexpr std::uint8_t setVolume(int volume) { return static_cast<std::uint8_t>(0x10 + volume); }
    static constexpr bool isSetVolume(std::uint8_t column) { return column >= 0x10 && column <= 0x50; }

    std::uint8_t note = 0;
    std::uint8_t instrument = 0; // 1-based
    std::uint8_t volume = 0;     // volume column byte
    std::uint8_t effect = 0;     // 0..35: 0-9 then A-Z
    std::uint8_t param = 0;

    bool empty() const { return note == 0 && instrument == 0 && volume == 0 && effect == 0 && param == 0; }
    bool operator==(const XmNote&) const = default;
};

struct XmPattern {
    XmPattern() = default;
    XmPattern(int rowCount, int channelCount);

    XmNote& at(int row, int channel) { return cells[static_cast<std::size_t>(row * channels + channel)]; }
    const XmNote& at(int row, int channel) const {
        return cells[static_cast<std::size_t>(row * channels + channel)];
    }
    bool operator==(const XmPattern&) const = default;

    int rows = 0;
    int channels = 0;
    std::vector<XmNote> cells; // row by row, rows * channels of them
};

enum class XmLoop : std::uint8_t { none = 0, forward = 1, pingPong = 2 };

struct XmSample {
    std::string name; // up to 22 characters
    // Exactly one of these holds the sound; the other stays empty.
    std::vector<std::int16_t> pcm16;
    std::vector<std::int8_t> pcm8;
    // In sample frames; the file counts bytes, the writer converts.
    std::uint32_t loopStart = 0;
    std::uint32_t loopLength = 0;
    XmLoop loop = XmLoop::none;
    int volume = 64;       // 0..64
    int panning = 128;     // 0 (left) .. 255 (right)
    int finetune = 0;      // -128..127, in 1/128 of a semitone
    int relativeNote = 0;  // -96..95 semitones; 0 plays the sample at 8363 Hz on C-4

    std::size_t frames() const { return pcm16.empty() ? pcm8.size() : pcm16.size(); }
};

struct XmEnvelopePoint {
    int tick = 0;  // ticks since the note started; strictly increasing, the first 0
    int value = 0; // 0..64 for volume, 0..63 for panning
};

// Off when it has no points.
struct XmEnvelope {
    std::vector<XmEnvelopePoint> points; // at most 12
    int sustain = -1;                    // point index, or -1
    int loopStart = -1;                  // point indices, both -1 or both set
    int loopEnd = -1;
};

struct XmInstrument {
    std::string name;             // up to 22 characters
    std::vector<XmSample> samples; // at most 16
    // Which sample each of the 96 notes plays, an index into samples.
    std::array<std::uint8_t, 96> sampleForNote{};
    XmEnvelope volumeEnvelope;
    XmEnvelope panningEnvelope;
    int vibratoType = 0; // 0 sine, 1 square, 2 ramp down, 3 ramp up
    int vibratoSweep = 0;
    int vibratoDepth = 0;
    int vibratoRate = 0;
    int fadeout = 0; // 0..0xFFF, volume lost per tick after key-off
};

struct XmModule {
    std::string name;              // up to 20 characters
    std::string tracker = "tindrel"; // up to 20 characters
    int channels = 8;              // even, 2..32
    int speed = 6;                 // ticks per row, 1..31
    int bpm = 125;                 // 32..255
    std::vector<int> orders;       // 1..256 pattern indices
    int restart = 0;               // index into orders
    bool linearFrequencies = true;
    std::vector<XmPattern> patterns;       // at most 256
    std::vector<XmInstrument> instruments; // at most 128
};

// The whole file. Throws std::invalid_argument naming the first thing FastTracker 2 could not
// hold: a channel count, an order, a pattern, a cell, an instrument or a sample out of range.
std::vector<std::uint8_t> writeXm(const XmModule& module);
