#include "show/Player.h"

#include "platform/FixedMusic.h"
#include "platform/Module.h"
#include "show/Timetable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The key list the help panel shows, in the order a newcomer needs them.
const std::vector<std::string>& keyHelp() {
    static const std::vector<std::string> lines = {
        "q          quit",
        "Space      pause / resume",
        "Left Right one order back / forward",
        "PgUp PgDn  previous / next scene",
        "Home       the start",
        "f          full screen / window (or double-click)",
        "o          position, time, scene and rate",
        "m          mute / unmute",
        "h F1       these keys",
        "Esc        end this part; hold to end the show",
    };
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

// What the clock reads. Its music: after a seek, rows walked from the scene's first to the
// target, one per skipped frame; then the music itself. Its seconds: the player's timer. While
// paused, both are held at the frame on screen, so a frame drawn anew there is that frame.
// Keeps the last reading, which is the frame's.
class Player::Walking : public Music, public Timer {
public:
    explicit Walking(Player& player) : player_(player) {}
    void play() override {}
    std::uint32_t position() override {
        last_ = active_ ? FixedMusic::pack(order_, row_) : held_.value_or(player_.p_.music.position());
        return last_;
    }
    double seconds() override {
        lastSeconds_ = heldSeconds_.value_or(player_.clockTimer_.seconds());
        return lastSeconds_;
    }
    // Holds the reading of the frame on screen, or lets go of it.
    void hold(bool frame) {
        held_ = frame ? std::optional(last_) : std::nullopt;
        heldSeconds_ = frame ? std::optional(lastSeconds_) : std::nullopt;
    }
    // Holds a position sought while paused, with the timer's seconds there.
    void holdAt(std::uint32_t position) {
        held_ = position;
        heldSeconds_ = player_.clockTimer_.seconds();
    }
    std::uint32_t last() const { return last_; }

    void start(Target from, Target to) {
        order_ = from.order;
        row_ = from.row;
        to_ = to;
        active_ = !arrived();
    }
    bool active() const { return active_; }
    void step() {
        if (++row_ >= std::max(1, player_.p_.music.rowsIn(order_))) row_ = 0, ++order_;
        active_ = !arrived();
    }

private:
    bool arrived() const { return order_ > to_.order || (order_ == to_.order && row_ >= to_.row); }

    Player& player_;
    int order_ = 0;
    int row_ = 0;
    Target to_{0, 0};
    bool active_ = false;
    std::uint32_t last_ = 0;
    std::optional<std::uint32_t> held_;
    double lastSeconds_ = 0.0;
    std::optional<double> heldSeconds_;
};

// The screen's display: frames go to the window, and the player looks at the keys after each.
class Player::Frames : public Display {
public:
    explicit Frames(Player& player) : player_(player) {}
    void present(const Image& frame) override { player_.presented(frame); }
    bool wantsFrame() override { return !player_.walking_->active(); }
    void skipFrame() override { player_.walking_->step(); }
    void beginFrame() override { player_.frameTop_ = player_.p_.wall.seconds(); }

private:
    Player& player_;
};

// Escape as the scenes read it: the user's key, or the player taking the scene away to seek or quit.
class Player::Leaving : public Keys {
public:
    explicit Leaving(Player& player) : player_(player) {}
    bool escape() override { return player_.leaving_ || player_.p_.controls.escape(); }

private:
    Player& player_;
};

Player::Player(const Platform& platform, Range range)
    : p_(platform), range_(range), clockTimer_(platform.ticks), frames_(std::make_unique<Frames>(*this)),
      keys_(std::make_unique<Leaving>(*this)), walking_(std::make_unique<Walking>(*this)),
      screen_(frameWidth, frameHeight, *frames_), clock_(*walking_, *walking_, DemoClock::Start::fixedAtZero) {}

Player::~Player() {
    while (!scenes_.empty()) scenes_.pop_back();
}

void Player::rebuild(std::size_t index) {
    const TimetableRow& row = Timetable::rows()[index];
    // The old scene goes first: two of one scene's images need not be held at once.
    scenes_[index].reset();
    scenes_[index] = row.build({screen_, clock_, *keys_, p_.data}, row.orders);
    ran_[index] = false;
}

void Player::play() {
    const Stage stage{screen_, clock_, *keys_, p_.data};
    for (const TimetableRow& row : Timetable::rows()) scenes_.push_back(row.build(stage, row.orders));
    ran_.assign(scenes_.size(), false);

    const Target start{range_.from, 0};
    enter(start);
    p_.music.play();
    rateMark_ = p_.wall.seconds();
    for (;;) {
        if (index_ >= scenes_.size()) {
            // Played out: a loop starts over, unless Escape held is what ended it.
            if (range_.loop && !quit_ && !keys_->escape()) {
                enter(start);
                continue;
            }
            break;
        }
        if (ran_[index_]) rebuild(index_);
        ran_[index_] = true;
        scenes_[index_]->run();
        if (quit_) break;
        if (pendingSeek_) {
            enter(*pendingSeek_);
            continue;
        }
        if (pendingReload_) {
            scenes_[index_] = std::move(reloaded_);
            ran_[index_] = false;
            enter(current(), false);
            continue;
        }
        ++index_;
    }
}

void Player::enter(Target target, bool seek) {
    const int last = std::max(0, p_.music.orderCount() - 1);
    target.order = std::clamp(target.order, 0, last);
    target.row = std::clamp(target.row, 0, std::max(0, p_.music.rowsIn(target.order) - 1));
    if (seek) {
        clockTimer_.set(p_.music.seek(target.order, target.row));
        if (paused_) walking_->holdAt(FixedMusic::pack(target.order, target.row));
    }
    index_ = indexOf(Timetable::playingAt(target.order));
    if (ran_[index_]) rebuild(index_);
    walking_->start({Timetable::rows()[index_].orders.first, 0}, target);
    pendingSeek_.reset();
    // A seek in the same breath as a reload wins: the scene it enters is built from the new data.
    pendingReload_ = false;
    reloaded_.reset();
    leaving_ = false;
    lastPresent_ = -1.0;
}

void Player::reloadScenes(const std::vector<std::string>& dataFiles) {
    // Every new scene is built before any old one goes, so a file that fails to load changes
    // nothing: the exception leaves the show as it was.
    const auto rows = Timetable::rows();
    std::vector<std::pair<std::size_t, std::unique_ptr<Scene>>> built;
    for (std::size_t i = 0; i < rows.size() && i < scenes_.size(); ++i) {
        const bool feeds = std::any_of(rows[i].files.begin(), rows[i].files.end(), [&dataFiles](const std::string& f) {
            return std::find(dataFiles.begin(), dataFiles.end(), f) != dataFiles.end();
        });
        if (feeds) built.emplace_back(i, rows[i].build({screen_, clock_, *keys_, p_.data}, rows[i].orders));
    }
    for (auto& [i, scene] : built) {
        if (i == index_) {
            // Its run is on the stack: it ends, and the loop enters the new one where it was.
            reloaded_ = std::move(scene);
            pendingReload_ = leaving_ = true;
        } else {
            scenes_[i] = std::move(scene);
            ran_[i] = false;
        }
    }
}

void Player::musicReplaced() {
    const Target at = current();
    if (at.order < p_.music.orderCount()) p_.music.seek(at.order, at.row);
}

Player::Target Player::current() const {
    const std::uint32_t position = walking_->last();
    if (position == Module::endPosition) return {p_.music.orderCount(), 0};
    return {Music::orderOf(position), Music::rowOf(position)};
}

std::optional<Player::Target> Player::seekTarget(Command command, Target from) const {
    const int orders = p_.music.orderCount();
    auto rowIn = [this](int order, int row) { return std::clamp(row, 0, std::max(0, p_.music.rowsIn(order) - 1)); };
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

void Player::seek(Target target) {
    pendingSeek_ = target;
    leaving_ = true;
}

void Player::obey(const std::vector<Command>& commands) {
    for (const Command c : commands) {
        switch (c) {
        case Command::quit:
            quit_ = true;
            leaving_ = true;
            break;
        case Command::pause:
            paused_ = !paused_;
            p_.music.setPaused(paused_);
            if (paused_) clockTimer_.pause();
            else clockTimer_.resume();
            walking_->hold(paused_);
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

void Player::presented(const Image& frame) {
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

    obey(p_.controls.commands());
    if (idle_) idle_();
    // The music, not the frame: an order past the range is never drawn.
    const std::uint32_t heard = p_.music.position();
    if (range_.to >= 0 && (heard == Module::endPosition || Music::orderOf(heard) > range_.to) && !leaving_) {
        if (range_.loop) seek({range_.from, 0});
        else quit_ = leaving_ = true;
    }

    // Paused, the frame is shown again and again: the window may be uncovered, resized or sent
    // full screen, and the text over it may change.
    if (!paused_ || leaving_) return;
    while (paused_ && !leaving_ && !p_.controls.escapePending()) {
        p_.controls.wait(50);
        obey(p_.controls.commands());
        if (idle_) idle_();
        if (paused_ && !leaving_) p_.window.show(frame, overlay());
    }
    // Time spent paused is nobody's late frame.
    lastPresent_ = -1.0;
    rateMark_ = p_.wall.seconds();
    rateFrames_ = 0;
}

Overlay Player::overlay() {
    Overlay o;
    if (osd_) {
        const Target at = current();
        const double seconds = std::max(0.0, clockTimer_.seconds());
        const int whole = static_cast<int>(seconds);
        char line[64];
        if (at.order >= p_.music.orderCount()) std::snprintf(line, sizeof line, "end    %02d:%02d", whole / 60, whole % 60);
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
