#include "show/Player.h"

#include "raster/FrameSize.h"

#include <algorithm>
#include <utility>

namespace {

// What a waiting scene shows.
const Image& black() {
    static const Image image(frameWidth, frameHeight);
    return image;
}

std::vector<Navigation::Chapter> chapters(const Timetable& timetable) {
    std::vector<Navigation::Chapter> out;
    for (const TimetableRow& row : timetable.rows()) out.push_back({row.orders.first, row.title});
    return out;
}

} // namespace

Player::Player(const Platform& platform, ShowPlan& show)
    : p_(platform), plan_(show), nav_(show.shape, chapters(show.timetable())), clockTimer_(platform.ticks),
      source_(platform.music, clockTimer_), screen_(frameWidth, frameHeight, *this),
      clock_(source_, source_, DemoClock::Start::fixedAtZero), overlay_(platform.wall), pacing_(platform.wall) {}

Player::~Player() = default;

void Player::start() {
    show_ = std::make_unique<Show>(Stage{screen_, clock_, p_.controls, plan_.data, plan_.viewing},
                                   plan_.timetable().rows(), [this](const TimetableRow& row) { return hooks_.awaits(row); });
    show_->timeFlashesBy(p_.wall);
    enter({plan_.range.from, plan_.range.fromRow});
    p_.music.play();
    pacing_.resumed();
}

bool Player::turn() {
    if (holding_) {
        // Paused, the frame is shown again and again: the window may be uncovered, resized or
        // sent full screen, and the text over it may change.
        if (paused_ && !leaving() && !p_.controls.escapePending()) {
            p_.controls.wait(50);
            obey(p_.controls.commands());
            hooks_.idle();
            if (paused_ && !leaving()) p_.window.show(waiting_ ? black() : screen_.presented(), overlay());
            return true;
        }
        holding_ = false;
        pacing_.resumed();
    }
    if (quit_) return false;
    if (pendingSeek_) {
        enter(*pendingSeek_, true, pendingSeconds_);
    } else if (reloaded_) {
        show_->replace(show_->current(), std::move(reloaded_));
        enter(current(), false);
    }
    Show::Step step;
    while ((step = show_->step()) == Show::Step::over) {
        // Played out: a loop starts over, unless Escape held is what ended it.
        if (p_.controls.escape()) return false;
        if (!(plan_.range.loop || loopScene_)) return ended();
        if (loopScene_) {
            enter(loopStart());
        } else {
            enter({plan_.range.from, plan_.range.fromRow});
            overlay_.say({"looping"});
        }
    }
    waiting_ = step == Show::Step::waiting;
    if (waiting_) {
        // Paced by the window as a frame is.
        beginFrame();
        present(black());
    }
    afterFrame();
    return true;
}

void Player::afterFrame() {
    obey(p_.controls.commands());
    hooks_.idle();
    // The music, not the frame: an order past the range is never drawn.
    const std::uint32_t heard = p_.music.position();
    if (loopScene_ && !leaving()) {
        // The scene may hand over before the music leaves its orders, or the music before it.
        const Scene::Orders orders = show_->row(*loopScene_).orders;
        if (heard == Music::endPosition || Music::orderOf(heard) > orders.last || show_->current() != *loopScene_)
            seek(loopStart());
    }
    if (plan_.range.to >= 0 && plan_.range.past(heard) && !leaving()) {
        if (plan_.range.loop) {
            seek({plan_.range.from, plan_.range.fromRow});
            overlay_.say({"looping"});
        } else if (!ended()) {
            quit_ = true;
        }
    }
    holding_ = paused_ && !leaving();
}

bool Player::ended() {
    if (!endWords_ || quit_) return false;
    atEnd_ = true;
    pause(true);
    holding_ = true;
    return true;
}

void Player::enter(Target target, bool seek, std::optional<double> seconds) {
    if (seek && atEnd_) {
        atEnd_ = false;
        pause(false);
    }
    target = nav_.clamped(target);
    if (seek) {
        p_.music.seek(target.order, target.row);
        // The show's clock keeps to the music's shape, whatever the music's own reckoning.
        clockTimer_.set(seconds.value_or(nav_.shape().secondsAt(target.order, target.row)));
        if (paused_) source_.holdAt(Music::pack(target.order, target.row));
    }
    const std::size_t scene = nav_.sceneAt(target.order);
    show_->enterAt(scene, nav_.shape(), {target.order, target.row, source_.seconds()});
    // The loop follows a seek: it repeats the scene on screen.
    if (loopScene_) loopScene_ = scene;
    pendingSeek_.reset();
    pendingSeconds_.reset();
    // A seek in the same breath as a reload wins: the scene it enters is built from the new data.
    reloaded_.reset();
    pacing_.gap();
}

void Player::pause(bool paused) {
    if (paused == paused_) return;
    paused_ = paused;
    p_.music.setPaused(paused_);
    if (paused_) clockTimer_.pause();
    else clockTimer_.resume();
    source_.hold(paused_);
}

void Player::step(int frames) {
    pause(true);
    const MusicShape& shape = nav_.shape();
    // Steps in one breath add up, from the frame on screen or a seek not yet made. The first
    // step from a played frame goes from the music's row, not from the clock: the two may be
    // apart by the sound's own delay, and the clock's time would land rows away.
    double from = 0.0;
    if (pendingSeconds_) {
        from = *pendingSeconds_;
    } else {
        const Target at = seekingFrom();
        Target next = at;
        shape.next(next.order, next.row);
        const double rowStart = shape.secondsAt(at.order, at.row);
        const double clock = source_.lastSeconds();
        from = !pendingSeek_ && clock >= rowStart && clock < shape.secondsAt(next.order, next.row) ? clock : rowStart;
    }
    const double to = std::max(0.0, from + frames / 60.0);
    Target at{};
    shape.rowAt(to, at.order, at.row);
    // The music's end draws nothing to stop at.
    if (at.order >= shape.orderCount()) return;
    pendingSeek_ = at;
    pendingSeconds_ = to;
    overlay_.sayPosition(nav_, at, to, true);
}

Player::Target Player::current() const {
    const std::uint32_t position = source_.last();
    if (position == Music::endPosition) return {nav_.shape().orderCount(), 0};
    return {Music::orderOf(position), Music::rowOf(position)};
}

void Player::present(const Image& frame) {
    pacing_.drawn();
    p_.window.show(frame, overlay());
    pacing_.shown(p_.window.refreshSeconds());
}

Overlay Player::overlay() {
    PlayerOverlay::State state{.at = current(),
                               .seconds = clockTimer_.seconds(),
                               .rate = pacing_.rate(),
                               .paused = paused_,
                               .looping = loopScene_ || plan_.range.loop,
                               .muted = p_.music.muted(),
                               .volume = p_.music.volume(),
                               .pointerAtFoot = p_.controls.pointerAtFoot(),
                               .banner = {}};
    if (waiting_ && show_) state.banner.push_back("building " + show_->row(show_->current()).title + " …");
    if (atEnd_ && endWords_) state.banner.push_back(*endWords_);
    state.banner.insert(state.banner.end(), hooks_.banner().begin(), hooks_.banner().end());
    return overlay_.compose(state, nav_);
}
