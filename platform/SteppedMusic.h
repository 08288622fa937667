#pragma once

#include "platform/Module.h"
#include "platform/Music.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class MusicShape;

// The module rendered in step with a virtual clock, for frame-exact offline renders: the
// renderer advances it to each frame's time, and the position is that of the music heard from
// then on, so a time on a row's start reads that row, as the music's shape says.
// Everything rendered after play() is kept as 16-bit stereo for the sound track.
class SteppedMusic : public Music {
public:
    // Starts at the order and row, which the shape's times place in the show's seconds.
    SteppedMusic(std::unique_ptr<Module> module, const MusicShape& shape, int startOrder = 0, int startRow = 0);

    void play() override { playing_ = true; }
    std::uint32_t position() override { return module_->position(); }

    // Show time of the music's start point (0 from the top; later when started at an order).
    double startSeconds() const { return startSeconds_; }
    // Renders up to the given show time; does nothing before play() or for times already past.
    void advanceTo(double showSeconds);
    const std::vector<std::int16_t>& samples() const { return samples_; }

private:
    std::unique_ptr<Module> module_;
    double startSeconds_ = 0.0;
    std::uint64_t framesKept_ = 0;
    // The module runs one frame ahead of what is kept: the player reads a row's effects as it
    // renders the row's first sample, so only then does its position say the row has begun.
    bool ahead_ = false;
    std::array<float, 2> aheadFrame_{};
    bool playing_ = false;
    std::vector<std::int16_t> samples_;
    std::vector<float> scratch_;
};
