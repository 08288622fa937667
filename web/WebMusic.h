#pragma once

#include "platform/Music.h"

#include <cstdint>
#include <vector>

// The module playing in the page's audio worklet, steered from here. The worklet renders it
// with our Module and, before each block of 128 frames, posts the position when it changes,
// stamped with the block's first sample frame; the page answers position() with the last
// change at or before the frame being heard now. Order and row counts are read once, when the
// worklet has loaded the module (before this is made).
class WebMusic : public SteerableMusic {
public:
    WebMusic();

    void play() override;
    std::uint32_t position() override;
    // Waits for the worklet's answer: the page runs meanwhile.
    double seek(int order, int row) override;
    void setPaused(bool paused) override;
    void setMuted(bool muted) override;
    bool muted() const override;
    int orderCount() const override { return static_cast<int>(rows_.size()); }
    int rowsIn(int order) const override;

private:
    std::vector<int> rows_;
};
