#include "show/Player.h"

#include "platform/KeyTable.h"
#include "show/Timetable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The key list the help panel shows.
const std::vector<std::string>& keyHelp() {
    static const std::vector<std::string> lines = KeyTable::lines(12);
    return lines;
}

std::size_t indexOf(const TimetableRow& row) { return static_cast<std::size_t>(&row - Timetable::rows().data()); }

// Whole milliseconds from ten up, one decimal below.
std::string milliseconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, ms >= 10.0 ? "%.0f ms" : "%.1f ms", ms);
    return text;
}

} // namespace

Player::Player(const Platform& platform, MusicShape shape, Range range)
    : p_(platform), shape_(std::move(shape)), range_(range), clockTimer_(platform.ticks),
      source_(platform.music, clockTimer_), screen_(frameWidth, frameHeight, *this),
      clock_(source_, source_, DemoClock::Start::fixedAtZero) {}

Player::~Player() = default;

void Player::start() {
    show_ = std::make_unique<Show>(Stage{screen_, clock_, p_.controls, p_.data});
    enter({range_.from, 0});
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
            if (paused_ && !leaving()) p_.window.show(screen_.presented(), overlay());
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
        enter(*pendingSeek_);
    } else if (reloaded_) {
        show_->replace(show_->current(), std::move(reloaded_));
        enter(current(), false);
    }
    while (show_->step() == Show::Step::over) {
        // Played out: a loop starts over, unless Escape held is what ended it.
        if (!range_.loop || p_.controls.escape()) return false;
        enter({range_.from, 0});
    }
    afterFrame();
    return true;
}

void Player::afterFrame() {
    obey(p_.controls.commands());
    if (idle_) idle_();
    // The music, not the frame: an order past the range is never drawn.
    const std::uint32_t heard = p_.music.position();
    if (range_.to >= 0 && (heard == Music::endPosition || Music::orderOf(heard) > range_.to) && !leaving()) {
        if (range_.loop) seek({range_.from, 0});
        else quit_ = true;
    }
    holding_ = paused_ && !leaving();
}

void Player::enter(Target target, bool seek) {
    const int last = std::max(0, shape_.orderCount() - 1);
    target.order = std::clamp(target.order, 0, last);
    target.row = std::clamp(target.row, 0, std::max(0, shape_.rowsIn(target.order) - 1));
    if (seek) {
        clockTimer_.set(p_.music.seek(target.order, target.row));
        if (paused_) source_.holdAt(Music::pack(target.order, target.row));
    }
    const std::size_t scene = indexOf(Timetable::playingAt(target.order));
    show_->enterAt(scene, shape_, {target.order, target.row, source_.seconds()});
    pendingSeek_.reset();
    // A seek in the same breath as a reload wins: the scene it enters is built from the new data.
    reloaded_.reset();
    lastPresent_ = -1.0;
}

void Player::reloadScenes(const std::vector<std::string>& dataFiles) {
    // Every new scene is built before any old one goes, so a file that fails to load changes
    // nothing: the exception leaves the show as it was.
    if (!show_) return;
    std::vector<std::pair<std::size_t, std::unique_ptr<Scene>>> built;
    for (std::size_t i = 0; i < show_->size(); ++i) {
        const TimetableRow& row = show_->row(i);
        const bool feeds = std::any_of(row.files.begin(), row.files.end(), [&dataFiles](const std::string& f) {
            return std::find(dataFiles.begin(), dataFiles.end(), f) != dataFiles.end();
        });
        if (feeds) built.emplace_back(i, row.build(show_->stage(), row.orders));
    }
    for (auto& [i, scene] : built) {
        // The running one is entered again where it was, by the loop at its next turn.
        if (i == show_->current()) reloaded_ = std::move(scene);
        else show_->replace(i, std::move(scene));
    }
}

void Player::musicReplaced(MusicShape shape) {
    shape_ = std::move(shape);
    const Target at = current();
    if (at.order < shape_.orderCount()) p_.music.seek(at.order, at.row);
}

Player::Target Player::current() const {
    const std::uint32_t position = source_.last();
    if (position == Music::endPosition) return {shape_.orderCount(), 0};
    return {Music::orderOf(position), Music::rowOf(position)};
}

std::optional<Player::Target> Player::seekTarget(Command command, Target from) const {
    const int orders = shape_.orderCount();
    auto rowIn = [this](int order, int row) { return std::clamp(row, 0, std::max(0, shape_.rowsIn(order) - 1)); };
    const auto rows = Timetable::rows();
    const std::size_t scene = indexOf(Timetable::playingAt(from.order));
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
    case Command::previousScene:
        if (scene == 0) return Target{0, 0};
        return Target{rows[scene - 1].orders.first, 0};
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
            paused_ = !paused_;
            p_.music.setPaused(paused_);
            if (paused_) clockTimer_.pause();
            else clockTimer_.resume();
            source_.hold(paused_);
            break;
        case Command::fullscreen:
            p_.window.toggleFullscreen();
            break;
        case Command::onScreenDisplay:
            osd_ = !osd_;
            break;
        case Command::mute:
            p_.music.setMuted(!p_.music.muted());
            break;
        case Command::help:
            help_ = !help_;
            break;
        default:
            // Seeks made in one breath add up: eight presses of a key go eight steps.
            if (const auto target = seekTarget(c, pendingSeek_.value_or(current()))) seek(*target);
            break;
        }
    }
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
        const int whole = static_cast<int>(seconds);
        char line[64];
        if (at.order >= shape_.orderCount()) std::snprintf(line, sizeof line, "end    %02d:%02d", whole / 60, whole % 60);
        else std::snprintf(line, sizeof line, "%02d:%02d  %02d:%02d", at.order, at.row, whole / 60, whole % 60);
        o.corner.emplace_back(line);
        o.corner.emplace_back(Timetable::playingAt(at.order).title);
        std::string state = std::to_string(rate_) + " fps";
        if (paused_) state += "  paused";
        if (p_.music.muted()) state += "  muted";
        o.corner.push_back(state);
    }
    if (help_) o.panel = keyHelp();
    o.banner = banner_;
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
