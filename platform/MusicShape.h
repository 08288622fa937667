#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class DataFolder;
class Module;

// The song's shape as an uninterrupted play goes through it: how many rows each order holds,
// and the sample at which play reaches each row, by the module's own speeds and tempos, at the
// rate the music is rendered. Every caller that turns a position into a time, or steps through
// rows, asks this, so a song with other patterns or tempos moves stills, seeks, captures and the
// sheet alike.
//
// Play is at a row from the first sample of its sound on: at a time that falls on a row's start,
// the row playing is the new one, as it is heard.
class MusicShape {
public:
    struct Order {
        int rows = 0;
        // The sample play reaches each row at, negative for a row it never reaches; empty for an
        // order it never reaches.
        std::vector<std::int64_t> starts;
    };

    MusicShape() = default;
    MusicShape(int sampleRate, std::vector<Order> orders, std::int64_t endSample);
    // A song whose every row lasts secondsPerRow, each order as many rows as given.
    static MusicShape steady(const std::vector<int>& rowsPerOrder, double secondsPerRow, int sampleRate = 44100);
    // The named data file's module, read without its samples, at the rate the show renders it.
    // Throws LoadError as Module does.
    static MusicShape load(const DataFolder& data, const std::string& name);

    int sampleRate() const { return rate_; }
    // Each order's rows and their starts, as made: what a copy of the shape is made from.
    const std::vector<Order>& orders() const { return orders_; }
    int orderCount() const { return static_cast<int>(orders_.size()); }
    // 0 past the end.
    int rowsIn(int order) const;
    // Whether an uninterrupted play plays the order at all: a song's jumps may pass one by.
    bool reaches(int order) const;
    // The time play reaches the row of the order, a row past an order's last taken as its last;
    // past the last order the song's end, before the first its start. An order play never
    // reaches has the time of the next row play does reach.
    double secondsAt(int order, int row) const;
    std::int64_t sampleAt(int order, int row) const;
    // The sample play reaches the row at; -1 when it never does, or there is no such row.
    std::int64_t reachedAt(int order, int row) const;
    double endSeconds() const { return seconds(end_); }
    std::int64_t endSample() const { return end_; }
    // The row playing at the uninterrupted play's seconds, the time taken to its nearest sample:
    // the last one reached by then. Before the start the first row; at or past the end
    // orderCount(), row 0.
    void rowAt(double seconds, int& order, int& row) const;
    // The row after this one, the next order's first after an order's last; past the end it
    // stays at orderCount(), row 0.
    void next(int& order, int& row) const;

private:
    double seconds(std::int64_t sample) const { return rate_ > 0 ? static_cast<double>(sample) / rate_ : 0.0; }

    struct Reached {
        std::int64_t start;
        int order;
        int row;
    };
    int rate_ = 0;
    std::vector<Order> orders_;
    // Every row play reaches, in the order it reaches them.
    std::vector<Reached> timeline_;
    std::int64_t end_ = 0;
};
