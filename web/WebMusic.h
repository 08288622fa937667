#pragma once

#include "platform/Music.h"

#include <cstdint>

// The module playing in the page's audio worklet, steered from here. The worklet renders it
// with our Module and, before each block of 128 frames, posts the position when it changes,
// stamped with the block's first sample frame; the page answers position() with the last
// change at or before the frame being heard now. A seek is posted to the worklet and answered
// at once by the page's own copy of the module.
class WebMusic : public SteerableMusic {
public:
    void play() override;
    std::uint32_t position() override;
    double seek(int order, int row) override;
    void setPaused(bool paused) override;
    void setMuted(bool muted) override;
    bool muted() const override;
    void setVolume(int percent) override;
    int volume() const override { return volume_; }

private:
    int volume_ = 100;
};
