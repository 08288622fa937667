#include "platform/MusicShape.h"

#include <algorithm>
#include <cmath>
#include <utility>

MusicShape::MusicShape(int sampleRate, std::vector<Order> orders, std::int64_t endSample)
    : rate_(sampleRate), orders_(std::move(orders)), end_(endSample) {
    for (int o = 0; o < orderCount(); ++o) {
        const Order& order = orders_[static_cast<std::size_t>(o)];
        for (std::size_t r = 0; r < order.starts.size(); ++r)
            if (order.starts[r] >= 0) timeline_.push_back({order.starts[r], o, static_cast<int>(r)});
    }
    std::stable_sort(timeline_.begin(), timeline_.end(), [](const Reached& a, const Reached& b) { return a.start < b.start; });
}

MusicShape MusicShape::steady(const std::vector<int>& rowsPerOrder, double secondsPerRow, int sampleRate) {
    std::vector<Order> orders;
    std::int64_t row = 0;
    auto sample = [&] { return static_cast<std::int64_t>(std::llround(static_cast<double>(row) * secondsPerRow * sampleRate)); };
    for (const int rows : rowsPerOrder) {
        Order& order = orders.emplace_back(Order{rows, {}});
        for (int r = 0; r < rows; ++r, ++row) order.starts.push_back(sample());
    }
    return MusicShape(sampleRate, std::move(orders), sample());
}

int MusicShape::rowsIn(int order) const {
    return order >= 0 && order < orderCount() ? orders_[static_cast<std::size_t>(order)].rows : 0;
}

bool MusicShape::reaches(int order) const {
    if (order < 0 || order >= orderCount()) return false;
    const std::vector<std::int64_t>& starts = orders_[static_cast<std::size_t>(order)].starts;
    return std::any_of(starts.begin(), starts.end(), [](std::int64_t s) { return s >= 0; });
}

std::int64_t MusicShape::sampleAt(int order, int row) const {
    if (order < 0) order = 0, row = 0;
    for (; order < orderCount(); ++order, row = 0) {
        const std::vector<std::int64_t>& starts = orders_[static_cast<std::size_t>(order)].starts;
        if (starts.empty()) continue;
        for (auto r = static_cast<std::size_t>(std::clamp(row, 0, static_cast<int>(starts.size()) - 1)); r < starts.size(); ++r)
            if (starts[r] >= 0) return starts[r];
    }
    return end_;
}

std::int64_t MusicShape::reachedAt(int order, int row) const {
    if (order < 0 || order >= orderCount()) return -1;
    const std::vector<std::int64_t>& starts = orders_[static_cast<std::size_t>(order)].starts;
    return row >= 0 && static_cast<std::size_t>(row) < starts.size() ? starts[static_cast<std::size_t>(row)] : -1;
}

double MusicShape::secondsAt(int order, int row) const { return seconds(sampleAt(order, row)); }

void MusicShape::rowAt(double seconds, int& order, int& row) const {
    order = orderCount();
    row = 0;
    const auto sample = static_cast<std::int64_t>(std::llround(seconds * rate_));
    if (sample >= end_ || timeline_.empty()) return;
    // The last row whose start is at or before the sample.
    auto after = std::upper_bound(timeline_.begin(), timeline_.end(), sample,
                                  [](std::int64_t s, const Reached& r) { return s < r.start; });
    const Reached& playing = after == timeline_.begin() ? timeline_.front() : *(after - 1);
    order = playing.order;
    row = playing.row;
}

void MusicShape::next(int& order, int& row) const {
    if (order >= orderCount()) {
        order = orderCount();
        row = 0;
        return;
    }
    if (++row >= rowsIn(order)) row = 0, ++order;
}
