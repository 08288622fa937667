#include "platform/MusicShape.h"

#include "platform/Module.h"

#include <algorithm>
#include <utility>

MusicShape::MusicShape(std::vector<int> rowsPerOrder, Clock seconds, double end)
    : rows_(std::move(rowsPerOrder)), seconds_(std::move(seconds)), end_(end) {}

MusicShape MusicShape::of(std::shared_ptr<Module> module) {
    std::vector<int> rows;
    for (int order = 0; order < module->orderCount(); ++order) rows.push_back(module->rowsIn(order));
    const double end = module->durationSeconds();
    // A seek costs a walk of the song to the row, so times are asked for only when needed.
    return MusicShape(std::move(rows),
                      [module](int order, int row) {
                          module->seek(order, row);
                          return module->positionSeconds();
                      },
                      end);
}

MusicShape MusicShape::load(const DataFolder& data, const std::string& name) {
    return of(Module::loadTimeline(data, name));
}

int MusicShape::rowsIn(int order) const {
    return order >= 0 && order < orderCount() ? rows_[static_cast<std::size_t>(order)] : 0;
}

double MusicShape::secondsAt(int order, int row) const {
    if (order >= orderCount()) return end_;
    order = std::max(order, 0);
    const int rows = rowsIn(order);
    if (rows == 0) return secondsAt(order + 1, 0);
    return seconds_ ? seconds_(order, std::clamp(row, 0, rows - 1)) : 0.0;
}

void MusicShape::rowAt(double seconds, int& order, int& row) const {
    order = orderCount();
    row = 0;
    if (seconds >= end_) return;
    // Times only grow along the song: the last order, then the last row, reached by then.
    int lo = 0;
    int hi = orderCount() - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (secondsAt(mid, 0) <= seconds) lo = mid;
        else hi = mid - 1;
    }
    order = lo;
    int first = 0;
    int last = std::max(0, rowsIn(order) - 1);
    while (first < last) {
        const int mid = (first + last + 1) / 2;
        if (secondsAt(order, mid) <= seconds) first = mid;
        else last = mid - 1;
    }
    row = first;
}

void MusicShape::next(int& order, int& row) const {
    if (order >= orderCount()) {
        order = orderCount();
        row = 0;
        return;
    }
    if (++row >= rowsIn(order)) row = 0, ++order;
}
