#pragma once

#include <chrono>
#include <cstdint>

// A source of seconds for the clock's smooth motion (order and row come from the music).
class Timer {
public:
    virtual ~Timer() = default;
    virtual double seconds() = 0;
};

// Wall-clock time in whole milliseconds, counted as an unsigned 32-bit value from the timer's
// construction so the small values keep their precision when the clock stores them as float.
class SteadyTimer : public Timer {
public:
    SteadyTimer() : epoch_(std::chrono::steady_clock::now()) {}
    double seconds() override;

private:
    std::chrono::steady_clock::time_point epoch_;
};

// Wall-clock time at the clock's own resolution: for measuring frames, not for the show.
class PreciseTimer : public Timer {
public:
    PreciseTimer() : epoch_(std::chrono::steady_clock::now()) {}
    double seconds() override;

private:
    std::chrono::steady_clock::time_point epoch_;
};

// A player's show time: another timer's seconds, stopped while paused and moved by seeks. It
// reads what its source reads, so whole milliseconds stay whole.
class PlayerTimer : public Timer {
public:
    explicit PlayerTimer(Timer& source) : source_(source) {}
    double seconds() override { return running_ ? base_ + (source_.seconds() - anchor_) : base_; }
    // Reads seconds from now on, running or paused as it was.
    void set(double seconds) {
        base_ = seconds;
        anchor_ = source_.seconds();
    }
    void pause() {
        if (!running_) return;
        base_ = seconds();
        running_ = false;
    }
    void resume() {
        if (running_) return;
        anchor_ = source_.seconds();
        running_ = true;
    }
    bool paused() const { return !running_; }

private:
    Timer& source_;
    double base_ = 0.0;
    double anchor_ = 0.0;
    bool running_ = true;
};

// Time that moves only when told: stills, offline capture and tests.
class ManualTimer : public Timer {
public:
    explicit ManualTimer(double seconds = 0.0) : now_(seconds) {}
    double seconds() override { return now_; }
    void set(double seconds) { now_ = seconds; }

private:
    double now_;
};
