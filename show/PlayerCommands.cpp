// What reaches the player from outside its loop: each command, to a handler of its own as the key
// table has a row of its own, and the studio's calls.
#include "show/Player.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <utility>
#include <vector>

void Player::obey(const std::vector<Command>& commands) {
    for (const Command c : commands) {
        switch (c) {
        case Command::quit:
            quit_ = true;
            break;
        case Command::pause:
            pause(!paused_);
            overlay_.say({paused_ ? "paused" : "playing"});
            break;
        case Command::frameForward:
            step(1);
            break;
        case Command::frameBack:
            step(-1);
            break;
        case Command::volumeUp:
            changeVolume(10);
            break;
        case Command::volumeDown:
            changeVolume(-10);
            break;
        case Command::screenshot:
            screenshot();
            break;
        case Command::fullscreen:
            p_.window.toggleFullscreen();
            break;
        case Command::onScreenDisplay:
            overlay_.toggleDisplay();
            break;
        case Command::mute:
            p_.music.setMuted(!p_.music.muted());
            plan_.viewing.mute = p_.music.muted();
            overlay_.say({p_.music.muted() ? "muted" : "unmuted"});
            break;
        case Command::help:
            overlay_.toggleHelp();
            break;
        case Command::loopScene:
            toggleLoop();
            break;
        case Command::seekBar: {
            const Target to = nav_.atShare(p_.controls.barShare());
            seek(to);
            overlay_.sayPosition(nav_, to, nav_.shape().secondsAt(to.order, to.row));
            break;
        }
        default:
            seekBy(c);
            break;
        }
    }
}

void Player::seekBy(Command command) {
    // Seeks made in one breath add up: eight presses of a key go eight steps.
    const Navigation::Lead lead = nav_.lead(command, seekingFrom());
    std::vector<std::string> said;
    if (lead.to) {
        seek(*lead.to);
        const double seconds = nav_.shape().secondsAt(lead.to->order, lead.to->row);
        said = {PlayerOverlay::positionLine(nav_.shape(), *lead.to, seconds), nav_.title(lead.to->order)};
    }
    // At an end of the show, the end is said in place of the title.
    if (!lead.note.empty()) {
        if (said.size() > 1) said.pop_back();
        said.push_back(lead.note);
    }
    if (!said.empty()) overlay_.say(std::move(said));
}

void Player::changeVolume(int by) {
    const int volume = std::clamp(p_.music.volume() + by, 0, 100);
    p_.music.setVolume(volume);
    plan_.viewing.volume = volume;
    overlay_.say({"volume " + std::to_string(volume) + " %" + (p_.music.muted() ? "  (muted)" : "")});
}

void Player::screenshot() {
    const Target at = current();
    char name[48];
    std::snprintf(name, sizeof name, "tindrel-%02d-%02d.png", at.order, at.row);
    // A picture that cannot be written is no reason to stop the show.
    try {
        const std::string where = p_.window.screenshot(screen_.presented(), name);
        overlay_.say({where.empty() ? "no screenshots here" : "screenshot: " + where});
    } catch (const std::exception& e) {
        overlay_.say({"no screenshot: " + std::string(e.what())});
    }
}

void Player::toggleLoop() {
    if (loopScene_) {
        loopScene_.reset();
        overlay_.say({"not looping"});
        return;
    }
    // A seek not yet made is where the scene on screen is about to be.
    loopScene_ = pendingSeek_ ? nav_.sceneAt(pendingSeek_->order) : std::min(show_->current(), show_->size() - 1);
    overlay_.say({"looping", show_->row(*loopScene_).title});
}

void Player::reloadScenes(const std::vector<std::string>& dataFiles) {
    // The running one is entered again where it was, by the loop at its next turn.
    if (!show_) return;
    if (auto running = hooks_.reload(*show_, dataFiles)) reloaded_ = std::move(running);
}

void Player::musicReplaced(MusicShape shape) {
    plan_.shape = std::move(shape);
    nav_.reshaped();
    const Target at = current();
    if (at.order < nav_.shape().orderCount()) p_.music.seek(at.order, at.row);
}
