#include "show/Pacing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Whole milliseconds from ten up, one decimal below.
std::string milliseconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, ms >= 10.0 ? "%.0f ms" : "%.1f ms", ms);
    return text;
}

} // namespace

void Pacing::shown(double refreshSeconds) {
    const double now = wall_.seconds();
    if (lastShown_ >= 0.0 && now - lastShown_ > 1.5 * refreshSeconds) ++late_;
    lastShown_ = now;
    ++rateFrames_;
    // A first measure soon, so the display never reads a rate of nothing; then one a second.
    if (now - rateMark_ >= (rate_ > 0 ? 1.0 : 0.25) && rateFrames_ > 1) {
        rate_ = std::max(1, static_cast<int>(std::lround(rateFrames_ / (now - rateMark_))));
        rateMark_ = now;
        rateFrames_ = 0;
    }
}

void Pacing::resumed() {
    lastShown_ = -1.0;
    rateMark_ = wall_.seconds();
    rateFrames_ = 0;
}

std::string Pacing::statsLine() const {
    std::vector<double> sorted = workMilliseconds_;
    std::sort(sorted.begin(), sorted.end());
    // Nearest rank: the smallest time at least that share of frames kept within.
    auto rank = [&sorted](double share) {
        if (sorted.empty()) return 0.0;
        const auto at = static_cast<std::size_t>(std::ceil(share * static_cast<double>(sorted.size())));
        return sorted[std::clamp<std::size_t>(at, 1, sorted.size()) - 1];
    };
    return "frames " + std::to_string(sorted.size()) + ", work per frame p50 " + milliseconds(rank(0.5)) + ", p99 " +
           milliseconds(rank(0.99)) + ", max " + milliseconds(sorted.empty() ? 0.0 : sorted.back()) + "; frames late " +
           std::to_string(late_) + " (a display refresh missed)";
}
