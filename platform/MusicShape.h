#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class DataFolder;
class Module;

// The song's shape as an uninterrupted play goes through it: how many rows each order holds,
// and the time it reaches each row by the module's own speeds and tempos. Every caller that
// turns a position into a time, or steps through rows, asks this, so a song with other
// patterns or tempos moves stills, seeks, captures and the sheet alike.
class MusicShape {
public:
    // The uninterrupted play's seconds at a row of an order within the song.
    using Clock = std::function<double(int order, int row)>;

    MusicShape() = default;
    MusicShape(std::vector<int> rowsPerOrder, Clock seconds, double end);
    // Asks the module, which it keeps: a timeline module is enough, and nothing else may use it.
    static MusicShape of(std::shared_ptr<Module> module);
    // The named data file's module, read without its samples. Throws LoadError as Module does.
    static MusicShape load(const DataFolder& data, const std::string& name);

    int orderCount() const { return static_cast<int>(rows_.size()); }
    // 0 past the end.
    int rowsIn(int order) const;
    // The time play reaches the row of the order, a row past an order's last taken as its last;
    // past the last order the song's end, before the first its start.
    double secondsAt(int order, int row) const;
    double endSeconds() const { return end_; }
    // The row playing at the uninterrupted play's seconds: the last one reached by then. Before
    // the start the first row; at or past the end orderCount(), row 0.
    void rowAt(double seconds, int& order, int& row) const;
    // The row after this one, the next order's first after an order's last; past the end it
    // stays at orderCount(), row 0.
    void next(int& order, int& row) const;

private:
    std::vector<int> rows_;
    Clock seconds_;
    double end_ = 0.0;
};
