#include "show/FlashGuard.h"

#include <algorithm>

void FlashGuard::beginFrame(double seconds, bool entered) {
    double step = lastSeconds_ && !entered ? std::clamp(seconds - *lastSeconds_, 0.0, longestFrame) : 0.0;
    if (wall_) {
        const double now = wall_->seconds();
        if (lastWall_) step = std::max(step, now - *lastWall_);
        lastWall_ = now;
    }
    played_ += step;
    lastSeconds_ = seconds;
    // A seek is a cut: what it lands on starts afresh, whatever was on screen before.
    previous_ = entered ? 0.0 : current_;
    current_ = 0.0;
}

double FlashGuard::allow(double amount) {
    if (amount > previous_ + flashRise) {
        skipping_ = lastStart_ && played_ - *lastStart_ < minimumGap;
        if (!skipping_) lastStart_ = played_;
    } else if (previous_ <= 0.0) {
        // A fade from nothing is no skipped flash's tail.
        skipping_ = false;
    }
    current_ = std::max(current_, amount);
    return skipping_ ? 0.0 : amount;
}
