#include "show/PlayerOverlay.h"

#include "platform/KeyTable.h"
#include "show/ShowPlan.h"

#include <algorithm>
#include <utility>

void PlayerOverlay::say(std::vector<std::string> lines) {
    message_ = std::move(lines);
    messageUntil_ = wall_.seconds() + messageSeconds;
}

void PlayerOverlay::sayPosition(const Navigation& navigation, Place at, double seconds, bool fine) {
    say({positionLine(navigation.shape(), at, seconds, fine), navigation.title(at.order)});
}

std::string PlayerOverlay::positionLine(const MusicShape& shape, Place at, double seconds, bool fine) {
    const std::string times = clockTime(seconds, fine) + " / " + clockTime(shape.endSeconds(), false);
    if (at.order >= shape.orderCount()) return "end   " + times;
    return "order " + std::to_string(at.order) + " · row " + std::to_string(at.row) + "   " + times;
}

Overlay PlayerOverlay::compose(const State& s, const Navigation& navigation) const {
    Overlay o;
    const double seconds = std::max(0.0, s.seconds);
    if (display_) {
        o.corner.push_back(positionLine(navigation.shape(), s.at, seconds));
        o.corner.push_back(navigation.title(s.at.order));
        // A rate only of frames played: paused, the few a seek draws say nothing of it.
        std::string state = s.rate > 0 && !s.paused ? std::to_string(s.rate) + " fps" : "";
        auto add = [&state](const std::string& word) { state += (state.empty() ? "" : "  ") + word; };
        if (s.paused) add("paused");
        if (s.looping) add("looping");
        if (s.muted) add("muted");
        else if (s.volume < 100) add("volume " + std::to_string(s.volume) + " %");
        if (!state.empty()) o.corner.push_back(state);
    }
    if (display_ || s.pointerAtFoot) {
        const double end = navigation.shape().endSeconds();
        o.progress = end > 0.0 ? std::clamp(seconds / end, 0.0, 1.0) : 0.0;
        o.marks = navigation.marks();
    }
    if (wall_.seconds() < messageUntil_) o.message = message_;
    if (help_) {
        static const std::vector<std::string> keys = KeyTable::lines();
        o.panel = keys;
    }
    o.banner = s.banner;
    return o;
}
