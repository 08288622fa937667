#pragma once

#include "app/StudioWork.h"
#include "platform/Timer.h"
#include "show/Player.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

class LiveMusic;

// The studio's side of the show, on the main thread between frames: what the work built goes
// on screen, the music replaced where a song was saved ("music rebuilt" over the picture a
// moment), the mistakes in the banner, and the scene play started in entered as soon as its
// data is there, wherever the music has got to meanwhile.
class StudioShow {
public:
    // problems: per data file, a mistake met at start. from: where play started, and the data
    // files its scene waits for.
    StudioShow(StudioWork& work, std::filesystem::path cache, std::string musicFile,
               std::map<std::string, std::string> problems, Timer& started, Player::Target from,
               std::vector<std::string> fromAwaits);

    // How long "music rebuilt" stays over the picture, in seconds.
    static constexpr double musicNoticeSeconds = 3.0;

    void apply(Player& player, LiveMusic& music);

private:
    void reload(Player& player, LiveMusic& music, const std::vector<std::string>& data);

    StudioWork& work_;
    std::filesystem::path cache_;
    std::string musicFile_;
    std::map<std::string, std::string> problems_;  // per banner entry
    Timer& started_;
    Player::Target from_;
    std::vector<std::string> fromAwaits_;  // empty once the scene is entered
    std::optional<double> shown_;          // the save on screen next, on the work's watch
    std::optional<double> musicUntil_;     // "music rebuilt" shows until then, on the work's watch
    bool enterFrom_ = false;               // the scene's data is all there: enter it
    bool firstShown_ = false;
};
