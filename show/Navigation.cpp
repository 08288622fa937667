#include "show/Navigation.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {
const char* const theEnd = "the end of the show";
} // namespace

Navigation::Navigation(const MusicShape& shape, std::vector<Chapter> chapters)
    : shape_(&shape), chapters_(std::move(chapters)) {
    if (chapters_.empty()) chapters_.push_back({0, ""});
    reshaped();
}

void Navigation::reshaped() {
    marks_.clear();
    const double end = shape_->endSeconds();
    for (const Chapter& chapter : chapters_) {
        const double start = end > 0.0 ? shape_->secondsAt(chapter.first, 0) / end : 1.0;
        if (start < 1.0) marks_.push_back(start);
    }
}

std::size_t Navigation::sceneAt(int order) const {
    std::size_t scene = 0;
    for (std::size_t i = 0; i < chapters_.size(); ++i)
        if (chapters_[i].first <= order) scene = i;
    return scene;
}

int Navigation::rowIn(int order, int row) const { return std::clamp(row, 0, std::max(0, shape_->rowsIn(order) - 1)); }

Place Navigation::clamped(Place place) const {
    const int order = std::clamp(place.order, 0, std::max(0, shape_->orderCount() - 1));
    return {order, rowIn(order, place.row)};
}

Place Navigation::atShare(double share) const {
    Place at{};
    shape_->rowAt(std::clamp(share, 0.0, 1.0) * shape_->endSeconds(), at.order, at.row);
    // The bar's far end is the last row, which still draws.
    if (at.order >= shape_->orderCount()) return clamped({at.order, shape_->rowsIn(shape_->orderCount() - 1)});
    return clamped(at);
}

Navigation::Lead Navigation::lead(Command command, Place from) const {
    Lead lead = leadInSong(command, from);
    // A song that jumps over orders never plays them: nothing there to seek to.
    if (lead.to && !shape_->reaches(lead.to->order))
        return {std::nullopt, "order " + std::to_string(lead.to->order) + " is never played: the song passes it by"};
    return lead;
}

Navigation::Lead Navigation::leadInSong(Command command, Place from) const {
    const int orders = shape_->orderCount();
    // From the music's end, back is from its last row.
    const Place inside = from.order >= orders ? Place{orders - 1, shape_->rowsIn(orders - 1)} : from;
    const std::size_t scene = sceneAt(inside.order);
    switch (command) {
    case Command::nextOrder:
        if (from.order + 1 >= orders) return {std::nullopt, theEnd};
        return {Place{from.order + 1, rowIn(from.order + 1, from.row)}, {}};
    case Command::previousOrder: {
        if (from.order <= 0) return {Place{0, 0}, from.row > 0 ? "" : "the start"};
        const int order = std::min(from.order, orders) - 1;
        return {Place{order, rowIn(order, from.row)}, {}};
    }
    case Command::nextRow: {
        // Row by row as play goes: over an order the song passes by.
        Place to = from;
        shape_->next(to.order, to.row);
        while (to.order < orders && !shape_->reaches(to.order)) to = {to.order + 1, 0};
        if (to.order >= orders) return {std::nullopt, theEnd};
        return {to, {}};
    }
    case Command::previousRow: {
        if (from.order <= 0 && from.row <= 0) return {std::nullopt, "the start"};
        Place to = from.order >= orders ? Place{orders, 0} : from;
        do {
            to = to.row > 0 && to.order < orders ? Place{to.order, to.row - 1}
                                                 : Place{to.order - 1, std::max(0, shape_->rowsIn(to.order - 1) - 1)};
        } while (to.order > 0 && !shape_->reaches(to.order));
        return {to, {}};
    }
    case Command::nextScene:
        if (scene + 1 >= chapters_.size()) return {std::nullopt, theEnd};
        return {Place{chapters_[scene + 1].first, 0}, {}};
    case Command::previousScene: {
        // As media players treat chapters: well into a scene, the key starts it again.
        const int first = chapters_[scene].first;
        if (shape_->secondsAt(inside.order, inside.row) - shape_->secondsAt(first, 0) > 3.0) return {Place{first, 0}, {}};
        if (scene == 0) return {Place{0, 0}, "the first scene"};
        return {Place{chapters_[scene - 1].first, 0}, {}};
    }
    case Command::home:
        return {Place{0, 0}, {}};
    default:
        return {};
    }
}
