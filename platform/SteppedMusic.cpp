#include "platform/SteppedMusic.h"

#include <algorithm>
#include <cmath>

SteppedMusic::SteppedMusic(std::unique_ptr<Module> module, int startOrder, int startRow) : module_(std::move(module)) {
    if (startRow > 0) {
        module_->seek(startOrder, startRow);
        startSeconds_ = module_->positionSeconds();
    } else if (startOrder > 0) {
        module_->seekOrder(startOrder);
        startSeconds_ = module_->positionSeconds();
    }
}

void SteppedMusic::advanceTo(double showSeconds) {
    if (!playing_) return;
    const double since = std::max(0.0, showSeconds - startSeconds_);
    // Rounded from the absolute time each step, so frame times never drift by a sample.
    const auto target = static_cast<std::uint64_t>(std::llround(since * Module::sampleRate));
    if (target <= framesRendered_) return;
    const auto frames = static_cast<std::size_t>(target - framesRendered_);
    scratch_.resize(2 * frames);
    module_->render(scratch_.data(), frames);
    framesRendered_ = target;
    for (float s : scratch_) {
        const float clamped = std::clamp(s, -1.0f, 1.0f);
        samples_.push_back(static_cast<std::int16_t>(std::lround(clamped * 32767.0f)));
    }
}
