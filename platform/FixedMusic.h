#pragma once

#include "platform/Music.h"

// Music that stays at one position: stills and tests script the position by setting it.
class FixedMusic : public Music {
public:
    explicit FixedMusic(std::uint32_t position = 0) : position_(position) {}

    void play() override { played_ = true; }
    std::uint32_t position() override { return position_; }

    void set(std::uint32_t position) { position_ = position; }
    void set(int order, int row) { position_ = pack(order, row); }
    bool played() const { return played_; }

private:
    std::uint32_t position_;
    bool played_ = false;
};
