#pragma once

#include <cstdint>

// The program's random sequence, part of the show's look and fixed: state × 214013 + 2531011
// modulo 2^32, each draw (state >> 16) & 32767. Every user seeds its own, so a texture or the
// tunnel draws the same numbers whatever was built before it.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}

    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 32767u);
    }
    std::uint32_t state() const { return state_; }

private:
    std::uint32_t state_;
};
