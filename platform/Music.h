#pragma once

#include <cstdint>

// The show's master clock: the playing position of its module. Scenes start, switch phase and
// end on it. The position is one 32-bit value, order in the low half and row in the high half;
// once the module has played out it reads with all bits set (order and row 65535).
class Music {
public:
    virtual ~Music() = default;

    // Starts the module from its current position (the first order unless told otherwise).
    virtual void play() = 0;
    // The position of what is being heard, read afresh on every call.
    virtual std::uint32_t position() = 0;

    // Each reads the position afresh, so a row change can fall between the two: a frame reads
    // the position once and splits that one value.
    int order() { return orderOf(position()); }
    int row() { return rowOf(position()); }
    static int orderOf(std::uint32_t position) { return static_cast<int>(position & 0xFFFFu); }
    static int rowOf(std::uint32_t position) { return static_cast<int>(position >> 16); }
};
