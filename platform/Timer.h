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

// Time that moves only when told: stills, offline capture and tests.
class ManualTimer : public Timer {
public:
    explicit ManualTimer(double seconds = 0.0) : now_(seconds) {}
    double seconds() override { return now_; }
    void set(double seconds) { now_ = seconds; }

private:
    double now_;
};
