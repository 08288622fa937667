#include "show/Show.h"

#include <utility>

Show::Show(const Stage& stage, std::span<const TimetableRow> rows, const Waiting& waiting) : stage_(stage), rows_(rows) {
    stage_.flashes = &flashes_;
    try {
        for (const TimetableRow& row : rows_) add(row, !waiting || !waiting(row));
    } catch (...) {
        while (!scenes_.empty()) scenes_.pop_back();
        throw;
    }
}

Show::~Show() {
    phases_.clear();
    while (!scenes_.empty()) scenes_.pop_back();
}

void Show::add(const TimetableRow& row, bool build) {
    scenes_.push_back(build ? row.make(stage_) : nullptr);
    played_.push_back(false);
}

void Show::replace(std::size_t scene, std::unique_ptr<Scene> built) {
    if (scene == scene_) {
        phases_.clear();
        entered_ = false;
    }
    scenes_[scene] = std::move(built);
    played_[scene] = false;
}

void Show::enter(std::size_t scene) {
    moved_ = true;
    phases_.clear();
    scene_ = scene;
    entered_ = false;
}

void Show::begin() {
    if (played_[scene_]) {
        // The old scene goes first: two of one scene's images need not be held at once.
        phases_.clear();
        scenes_[scene_].reset();
        scenes_[scene_] = rows_[scene_].make(stage_);
    }
    played_[scene_] = true;
    Scene& s = *scenes_[scene_];
    s.enter();
    phases_ = s.phases();
    phase_ = 0;
    entered_ = true;
    phaseBegun_ = afterFrame_ = false;
}

void Show::enterAt(std::size_t scene, const MusicShape& shape, const Position& target) {
    enter(scene);
    if (!built(scene_)) return;
    begin();
    Position p{scenes_[scene_]->orders().first, 0, target.seconds};
    while (p.order < target.order || (p.order == target.order && p.row < target.row)) {
        while (phase_ < phases_.size() && phases_[phase_].ended(p)) ++phase_;
        // Past the song's end every row is its end.
        if (phase_ >= phases_.size() || p.order >= shape.orderCount()) break;
        shape.next(p.order, p.row);
    }
    // The keys are read at the start of the phase the walk stopped in, as play would have.
    phaseBegun_ = false;
}

void Show::endPhase() {
    ++phase_;
    phaseBegun_ = afterFrame_ = false;
}

Show::Step Show::step() {
    for (;;) {
        if (scene_ >= scenes_.size()) return Step::over;
        if (!scenes_[scene_]) {
            if (stage_.keys.escape() || stage_.clock.now().order > rows_[scene_].orders.last) {
                ++scene_;
                entered_ = false;
                continue;
            }
            return Step::waiting;
        }
        if (!entered_) begin();
        if (phase_ >= phases_.size()) {
            phases_.clear();
            ++scene_;
            entered_ = false;
            continue;
        }
        if (afterFrame_) {
            afterFrame_ = false;
            if (stage_.keys.escape()) {
                endPhase();
                continue;
            }
        }
        if (!phaseBegun_) {
            phaseBegun_ = true;
            if (stage_.keys.escape()) {
                endPhase();
                continue;
            }
        }
        const Scene::Phase& phase = phases_[phase_];
        const Position now = stage_.clock.now();
        if (phase.ended(now)) {
            endPhase();
            continue;
        }
        stage_.screen.beginFrame();
        flashes_.beginFrame(now.seconds, std::exchange(moved_, false));
        phase.frame(now);
        // A frame that never composed still presents, so lock and update always pair up.
        if (!stage_.screen.locked()) stage_.screen.lock();
        stage_.screen.update();
        afterFrame_ = true;
        return Step::drawn;
    }
}
