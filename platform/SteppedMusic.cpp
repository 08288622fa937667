#include "platform/SteppedMusic.h"

#include "platform/MusicShape.h"

#include <algorithm>
#include <cmath>

SteppedMusic::SteppedMusic(std::unique_ptr<Module> module, const MusicShape& shape, int startOrder, int startRow)
    : module_(std::move(module)) {
    if (startOrder > 0 || startRow > 0) {
        module_->seek(startOrder, startRow);
        startSeconds_ = shape.secondsAt(startOrder, startRow);
    }
}

void SteppedMusic::advanceTo(double showSeconds) {
    if (!playing_) return;
    const double since = std::max(0.0, showSeconds - startSeconds_);
    // Rounded from the absolute time each step, so frame times never drift by a sample.
    const auto target = static_cast<std::uint64_t>(std::llround(since * Module::sampleRate));
    if (ahead_ && target <= framesKept_) return;
    // The kept frames up to target, and one more rendered past them.
    const std::size_t fresh = static_cast<std::size_t>(target - framesKept_) + (ahead_ ? 0 : 1);
    scratch_.resize(2 * fresh);
    module_->render(scratch_.data(), fresh);
    auto keep = [this](float s) {
        samples_.push_back(static_cast<std::int16_t>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f)));
    };
    std::size_t from = 0;
    if (ahead_ && target > framesKept_) {
        keep(aheadFrame_[0]);
        keep(aheadFrame_[1]);
    }
    const std::size_t keptFresh = fresh - 1;
    for (; from < 2 * keptFresh; ++from) keep(scratch_[from]);
    aheadFrame_ = {scratch_[2 * keptFresh], scratch_[2 * keptFresh + 1]};
    ahead_ = true;
    framesKept_ = target;
}
