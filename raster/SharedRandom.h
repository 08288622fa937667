#pragma once

#include <cstdint>

// The program's one random sequence: the texture operations reseed it before they draw, and
// the tunnel draws on from wherever the textures left it, so its sequence is part of the show's
// look and is fixed: state × 214013 + 2531011 modulo 2^32, each draw (state >> 16) & 32767.
// One thread only.
class SharedRandom {
public:
    static void seed(std::uint32_t value);
    static int next();
    static std::uint32_t state();
};
