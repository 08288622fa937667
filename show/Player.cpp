#include "show/Player.h"

#include "platform/KeyTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <utility>

namespace {

// The key list the help panel shows.
const std::vector<std::string>& keyHelp() {
    static const std::vector<std::string> lines = KeyTable::lines(12);
    return lines;
}

// Whole milliseconds from ten up, one decimal below.
std::string milliseconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, ms >= 10.0 ? "%.0f ms" : "%.1f ms", ms);
    return text;
}

// What a waiting scene shows.
const Image& black() {
    static const Image image(frameWidth, frameHeight);
    return image;
}

std::vector<double> sceneMarks(const ShowPlan& show) {
    std::vector<double> marks;
    const MusicShape& shape = show.shape;
    const double end = shape.endSeconds();
    for (const TimetableRow& row : show.timetable().rows()) {
        const double start = end > 0.0 ? shape.secondsAt(row.orders.first, 0) / end : 1.0;
        if (start < 1.0) marks.push_back(start);
    }
    return marks;
}

} // namespace

Player::Player(const Platform& platform, ShowPlan& show)
    : p_(platform), plan_(show), marks_(sceneMarks(show)), clockTimer_(platform.ticks),
      source_(platform.music, clockTimer_), screen_(frameWidth, frameHeight, *this),
      clock_(source_, source_, DemoClock::Start::fixedAtZero) {}

Player::~Player() = default;

void Player::start() {
    show_ = std::make_unique<Show>(Stage{screen_, clock_, p_.controls, plan_.data, plan_.viewing},
                                   plan_.timetable().rows(), [this](const TimetableRow& row) { return awaits(row); });
    enter({plan_.range.from, plan_.range.fromRow});
    p_.music.play();
    rateMark_ = p_.wall.seconds();
}

bool Player::turn() {
    if (holding_) {
        // Paused, the frame is shown again and again: the window may be uncovered, resized or
        // sent full screen, and the text over it may change.
        if (paused_ && !leaving() && !p_.controls.escapePending()) {
            p_.controls.wait(50);
            obey(p_.controls.commands());
            if (idle_) idle_();
            if (paused_ && !leaving()) p_.window.show(waiting_ ? black() : screen_.presented(), overlay());
            return true;
        }
        holding_ = false;
        // Time spent paused is nobody's late frame.
        lastPresent_ = -1.0;
        rateMark_ = p_.wall.seconds();
        rateFrames_ = 0;
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
            say({"looping"});
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
    if (idle_) idle_();
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
            say({"looping"});
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
    const MusicShape& shape = plan_.shape;
    const int last = std::max(0, shape.orderCount() - 1);
    target.order = std::clamp(target.order, 0, last);
    target.row = std::clamp(target.row, 0, std::max(0, shape.rowsIn(target.order) - 1));
    if (seek) {
        p_.music.seek(target.order, target.row);
        // The show's clock keeps to the music's shape, whatever the music's own reckoning.
        clockTimer_.set(seconds.value_or(shape.secondsAt(target.order, target.row)));
        if (paused_) source_.holdAt(Music::pack(target.order, target.row));
    }
    const std::size_t scene = plan_.timetable().indexPlayingAt(target.order);
    show_->enterAt(scene, shape, {target.order, target.row, source_.seconds()});
    // The loop follows a seek: it repeats the scene on screen.
    if (loopScene_) loopScene_ = scene;
    pendingSeek_.reset();
    pendingSeconds_.reset();
    // A seek in the same breath as a reload wins: the scene it enters is built from the new data.
    reloaded_.reset();
    lastPresent_ = -1.0;
}

bool Player::awaits(const TimetableRow& row) const {
    return std::any_of(row.files.begin(), row.files.end(), [this](const std::string& f) {
        return std::find(awaiting_.begin(), awaiting_.end(), f) != awaiting_.end();
    });
}

void Player::reloadScenes(const std::vector<std::string>& dataFiles) {
    // Every new scene is built before any old one goes, so a file that fails to load changes
    // nothing: the exception leaves the show as it was.
    if (!show_) return;
    std::erase_if(awaiting_, [&dataFiles](const std::string& f) {
        return std::find(dataFiles.begin(), dataFiles.end(), f) != dataFiles.end();
    });
    std::vector<std::pair<std::size_t, std::unique_ptr<Scene>>> built;
    for (std::size_t i = 0; i < show_->size(); ++i) {
        const TimetableRow& row = show_->row(i);
        const bool feeds = std::any_of(row.files.begin(), row.files.end(), [&dataFiles](const std::string& f) {
            return std::find(dataFiles.begin(), dataFiles.end(), f) != dataFiles.end();
        });
        // A scene waits on until the last of its files is there.
        if (feeds && !awaits(row)) built.emplace_back(i, row.make(show_->stage()));
    }
    for (auto& [i, scene] : built) {
        // The running one is entered again where it was, by the loop at its next turn.
        if (i == show_->current()) reloaded_ = std::move(scene);
        else show_->replace(i, std::move(scene));
    }
}

void Player::musicReplaced(MusicShape shape) {
    plan_.shape = std::move(shape);
    marks_ = sceneMarks(plan_);
    const Target at = current();
    if (at.order < plan_.shape.orderCount()) p_.music.seek(at.order, at.row);
}

Player::Target Player::current() const {
    const std::uint32_t position = source_.last();
    if (position == Music::endPosition) return {plan_.shape.orderCount(), 0};
    return {Music::orderOf(position), Music::rowOf(position)};
}

std::optional<Player::Target> Player::seekTarget(Command command, Target from) const {
    const MusicShape& shape = plan_.shape;
    const int orders = shape.orderCount();
    auto rowIn = [&shape](int order, int row) { return std::clamp(row, 0, std::max(0, shape.rowsIn(order) - 1)); };
    const auto rows = plan_.timetable().rows();
    const std::size_t scene = plan_.timetable().indexPlayingAt(from.order);
    switch (command) {
    case Command::nextOrder:
        if (from.order + 1 >= orders) return std::nullopt;
        return Target{from.order + 1, rowIn(from.order + 1, from.row)};
    case Command::previousOrder:
        if (from.order <= 0) return Target{0, 0};
        return Target{std::min(from.order, orders) - 1, rowIn(std::min(from.order, orders) - 1, from.row)};
    case Command::nextScene:
        if (scene + 1 >= rows.size()) return std::nullopt;
        return Target{rows[scene + 1].orders.first, 0};
    case Command::previousScene: {
        // As media players treat chapters: well into a scene, the key starts it again.
        const int first = rows[scene].orders.first;
        if (shape.secondsAt(from.order, from.row) - shape.secondsAt(first, 0) > 3.0) return Target{first, 0};
        if (scene == 0) return Target{0, 0};
        return Target{rows[scene - 1].orders.first, 0};
    }
    case Command::home:
        return Target{0, 0};
    default:
        return std::nullopt;
    }
}

void Player::obey(const std::vector<Command>& commands) {
    for (const Command c : commands) {
        switch (c) {
        case Command::quit:
            quit_ = true;
            break;
        case Command::pause:
            pause(!paused_);
            say({paused_ ? "paused" : "playing"});
            break;
        case Command::frameForward:
            step(1);
            break;
        case Command::frameBack:
            step(-1);
            break;
        case Command::volumeUp:
        case Command::volumeDown: {
            const int volume = std::clamp(p_.music.volume() + (c == Command::volumeUp ? 10 : -10), 0, 100);
            p_.music.setVolume(volume);
            plan_.viewing.volume = volume;
            say({"volume " + std::to_string(volume) + " %" + (p_.music.muted() ? "  (muted)" : "")});
            break;
        }
        case Command::screenshot: {
            const Target at = current();
            char name[48];
            std::snprintf(name, sizeof name, "tindrel-%02d-%02d.png", at.order, at.row);
            // A picture that cannot be written is no reason to stop the show.
            try {
                const std::string where = p_.window.screenshot(screen_.presented(), name);
                say({where.empty() ? "no screenshots here" : "screenshot: " + where});
            } catch (const std::exception& e) {
                say({"no screenshot: " + std::string(e.what())});
            }
            break;
        }
        case Command::fullscreen:
            p_.window.toggleFullscreen();
            break;
        case Command::onScreenDisplay:
            osd_ = !osd_;
            break;
        case Command::mute:
            p_.music.setMuted(!p_.music.muted());
            plan_.viewing.mute = p_.music.muted();
            say({p_.music.muted() ? "muted" : "unmuted"});
            break;
        case Command::help:
            help_ = !help_;
            break;
        case Command::loopScene:
            if (loopScene_) {
                loopScene_.reset();
                say({"not looping"});
            } else {
                // A seek not yet made is where the scene on screen is about to be.
                loopScene_ = pendingSeek_ ? plan_.timetable().indexPlayingAt(pendingSeek_->order)
                                          : std::min(show_->current(), show_->size() - 1);
                say({"looping", show_->row(*loopScene_).title});
            }
            break;
        default:
            // Seeks made in one breath add up: eight presses of a key go eight steps.
            if (const auto target = seekTarget(c, pendingSeek_.value_or(current()))) {
                if (!plan_.shape.reaches(target->order)) {
                    say({"order " + std::to_string(target->order) + " is never played: the song passes it by"});
                    break;
                }
                seek(*target);
                sayPosition(*target, plan_.shape.secondsAt(target->order, target->row));
            }
            break;
        }
    }
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
    // Steps in one breath add up, from the frame on screen or a seek not yet made.
    double from = source_.lastSeconds();
    if (pendingSeconds_) from = *pendingSeconds_;
    else if (pendingSeek_) from = plan_.shape.secondsAt(pendingSeek_->order, pendingSeek_->row);
    const double to = std::max(0.0, from + frames / 60.0);
    Target at{};
    plan_.shape.rowAt(to, at.order, at.row);
    // The music's end draws nothing to stop at.
    if (at.order >= plan_.shape.orderCount()) return;
    pendingSeek_ = at;
    pendingSeconds_ = to;
    sayPosition(at, to, true);
}

void Player::say(std::vector<std::string> lines) {
    message_ = std::move(lines);
    messageUntil_ = p_.wall.seconds() + messageSeconds;
}

void Player::sayPosition(Target at, double seconds, bool fine) {
    say({positionLine(at, seconds, fine), plan_.timetable().playingAt(at.order).title});
}

std::string Player::positionLine(Target at, double seconds, bool fine) const {
    const std::string times = clockTime(seconds, fine) + " / " + clockTime(plan_.shape.endSeconds(), false);
    if (at.order >= plan_.shape.orderCount()) return "end   " + times;
    return "order " + std::to_string(at.order) + " · row " + std::to_string(at.row) + "   " + times;
}

void Player::present(const Image& frame) {
    frameMilliseconds_.push_back((p_.wall.seconds() - frameTop_) * 1000.0);
    p_.window.show(frame, overlay());
    const double now = p_.wall.seconds();
    if (lastPresent_ >= 0.0 && now - lastPresent_ > 1.5 * p_.window.refreshSeconds()) ++late_;
    lastPresent_ = now;
    ++rateFrames_;
    if (now - rateMark_ >= 1.0) {
        rate_ = static_cast<int>(std::lround(rateFrames_ / (now - rateMark_)));
        rateMark_ = now;
        rateFrames_ = 0;
    }
}

Overlay Player::overlay() {
    Overlay o;
    if (osd_) {
        const Target at = current();
        const double seconds = std::max(0.0, clockTimer_.seconds());
        o.corner.push_back(positionLine(at, seconds));
        o.corner.emplace_back(plan_.timetable().playingAt(at.order).title);
        std::string state = std::to_string(rate_) + " fps";
        if (paused_) state += "  paused";
        if (loopScene_) state += "  looping";
        if (p_.music.muted()) state += "  muted";
        else if (p_.music.volume() < 100) state += "  volume " + std::to_string(p_.music.volume()) + " %";
        o.corner.push_back(state);
        const double end = plan_.shape.endSeconds();
        o.progress = end > 0.0 ? std::clamp(seconds / end, 0.0, 1.0) : 0.0;
        o.marks = marks_;
    }
    if (p_.wall.seconds() < messageUntil_) o.message = message_;
    if (help_) o.panel = keyHelp();
    if (waiting_ && show_) o.banner.push_back(std::string("building ") + show_->row(show_->current()).title + " …");
    if (atEnd_ && endWords_) o.banner.push_back(*endWords_);
    o.banner.insert(o.banner.end(), banner_.begin(), banner_.end());
    return o;
}

std::string Player::statsLine() const {
    std::vector<double> sorted = frameMilliseconds_;
    std::sort(sorted.begin(), sorted.end());
    // Nearest rank: the smallest time at least that share of frames kept within.
    auto rank = [&sorted](double share) {
        if (sorted.empty()) return 0.0;
        const auto at = static_cast<std::size_t>(std::ceil(share * static_cast<double>(sorted.size())));
        return sorted[std::clamp<std::size_t>(at, 1, sorted.size()) - 1];
    };
    return "frames " + std::to_string(sorted.size()) + ", frame p50 " + milliseconds(rank(0.5)) + ", p99 " +
           milliseconds(rank(0.99)) + ", max " + milliseconds(sorted.empty() ? 0.0 : sorted.back()) + ", late " +
           std::to_string(late_);
}
