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
    static std::uint32_t pack(int order, int row) {
        return (static_cast<std::uint32_t>(order) & 0xFFFFu) | ((static_cast<std::uint32_t>(row) & 0xFFFFu) << 16);
    }
    // What position() reads once the music has played out.
    static constexpr std::uint32_t endPosition = 0xFFFFFFFFu;
    static int rowOf(std::uint32_t position) { return static_cast<int>(position >> 16); }
};

// Music a player steers. Seeks land on a row with the notes already playing there sounding.
class SteerableMusic : public Music {
public:
    // Moves to the row of the order and returns the uninterrupted play's time there, in seconds.
    virtual double seek(int order, int row) = 0;
    // Paused music holds its position and sounds nothing.
    virtual void setPaused(bool paused) = 0;
    // Muted music keeps its pace.
    virtual void setMuted(bool muted) = 0;
    virtual bool muted() const = 0;
    // The loudness, in percent from 0 to 100; muting keeps it. Music that sounds nowhere only
    // remembers it.
    virtual void setVolume(int percent) { volume_ = percent < 0 ? 0 : percent > 100 ? 100 : percent; }
    virtual int volume() const { return volume_; }
    // The factor a volume scales the samples by: cubed, as media players do, so each step of ten
    // sounds about as large as the last.
    static float gainFor(int percent) {
        const float share = static_cast<float>(percent < 0 ? 0 : percent > 100 ? 100 : percent) / 100.0f;
        return share * share * share;
    }

private:
    int volume_ = 100;
};
