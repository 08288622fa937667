#pragma once

#include "platform/Module.h"
#include "platform/Music.h"

#include <cstdint>
#include <memory>
#include <vector>

// The module rendered in step with a virtual clock, for frame-exact offline renders: the
// renderer advances it to each frame's time, and the position is that of the audio up to then.
// Everything rendered after play() is kept as 16-bit stereo for the sound track.
class SteppedMusic : public Music {
public:
    explicit SteppedMusic(std::unique_ptr<Module> module, int startOrder = 0, int startRow = 0);

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
    std::uint64_t framesRendered_ = 0;
    bool playing_ = false;
    std::vector<std::int16_t> samples_;
    std::vector<float> scratch_;
};
