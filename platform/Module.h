#pragma once

#include "platform/Music.h"
#include "platform/MusicShape.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

// A tracker module rendered on demand at 44100 Hz, stereo, 32-bit float samples.
// Not thread-safe: one thread renders and reads the position (the live player's audio thread,
// or the offline renderer's only thread).
class DataFolder;

class Module {
public:
    static constexpr int sampleRate = 44100;
    // The position once the module has played out: every order and row past the show's end.
    static constexpr std::uint32_t endPosition = Music::endPosition;

    // Reads the named file from the data folder. Throws LoadError with the name as passed:
    // "Could not open file", or "Not a supported module file" when the player refuses it.
    // A module that loads with a warning plays all the same, as other players would play it;
    // the warning goes to standard error as "tindrel: warning: NAME: what", once a run.
    // timeline leaves the samples out: orders, rows, seeking and times as with everything, for
    // a fraction of the cost, for a caller that only asks where and when; it renders silence.
    enum class Content { everything, timeline };
    static std::unique_ptr<Module> load(const DataFolder& data, const std::string& name,
                                        Content content = Content::everything);
    static std::unique_ptr<Module> loadTimeline(const DataFolder& data, const std::string& name);
    Module(const std::string& name, std::span<const std::uint8_t> bytes, Content content = Content::everything);
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    // Fills up to frames stereo frames; returns how many were rendered. Fewer than asked means
    // the module has ended: the rest of the buffer is zeroed and the position reads endPosition.
    // The show renders at sampleRate; another rate is for measuring the player.
    std::size_t render(float* interleavedStereo, std::size_t frames, int rate = sampleRate);
    // Order in the low 16 bits, row in the high 16, of the audio rendered last.
    std::uint32_t position() const;
    bool ended() const { return ended_; }
    // Starts rendering at the first row of an order, with notes begun earlier sounding as they would.
    void seekOrder(int order) { seek(order, 0); }
    // The same at any row of the order; positionSeconds() then reads the uninterrupted play's
    // time there. An order past the end leaves the module ended.
    void seek(int order, int row);
    // Rows of the order's pattern: 0 past the end.
    int rowsIn(int order) const;
    double positionSeconds() const;
    double durationSeconds() const;
    int orderCount() const;
    // Where an uninterrupted play from the start reaches each row, rendered at sampleRate: the
    // song's speeds and tempos as its patterns set them row by row, each tick a whole number of
    // samples as the player renders it, its jumps and breaks followed. Leaves the module at the
    // start.
    MusicShape shape(int rate = sampleRate);

    // What is wrong with a module the player accepted: a file that ends before the parts its
    // headers announce, or what the player itself reported while loading. Empty for a sound file.
    const std::string& warning() const { return warning_; }

private:
    struct Player;
    std::unique_ptr<Player> player_;
    bool ended_ = false;
    std::string warning_;
};
