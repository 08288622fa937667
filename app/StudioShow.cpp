#include "app/StudioShow.h"

#include "platform/LiveMusic.h"
#include "platform/Module.h"
#include "platform/MusicShape.h"
#include "raster/DataFolder.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <exception>

namespace {

// The banner entry of data the tools made but the show refuses.
constexpr const char* refused = " the show's data";

} // namespace

StudioShow::StudioShow(StudioWork& work, std::filesystem::path cache, std::string musicFile,
                       std::map<std::string, std::string> problems, Timer& started, Player::Target from,
                       std::vector<std::string> fromAwaits)
    : work_(work), cache_(std::move(cache)), musicFile_(std::move(musicFile)), problems_(std::move(problems)),
      started_(started), from_(from),
      fromAwaits_(std::move(fromAwaits)) {}

void StudioShow::apply(Player& player, LiveMusic& music) {
    if (!firstShown_) {
        firstShown_ = true;
        std::fprintf(stderr, "studio: first frame on screen %.0f ms after the start\n", started_.seconds() * 1000.0);
        work_.begin();
    }
    if (enterFrom_) {
        enterFrom_ = false;
        player.seekTo(from_);
    }
    if (shown_) {
        std::fprintf(stderr, "studio: on screen %.0f ms after the save\n", (work_.now() - *shown_) * 1000.0);
        shown_.reset();
    }
    for (StudioRound& round : work_.take()) {
        for (const auto& [entry, verdict] : round.verdicts) {
            if (verdict.empty()) problems_.erase(entry);
            else problems_[entry] = verdict;
        }
        reload(player, music, round.data);
        if (!round.data.empty() && round.seen >= 0.0) shown_ = round.seen;
    }
    std::vector<std::string> banner;
    if (musicUntil_ && work_.now() < *musicUntil_) banner.emplace_back("music rebuilt");
    // One mistake that fails many files (in the show file, say) is one line.
    for (const auto& [entry, problem] : problems_)
        if (std::find(banner.begin(), banner.end(), problem) == banner.end()) banner.push_back(problem);
    player.setBanner(std::move(banner));
}

void StudioShow::reload(Player& player, LiveMusic& music, const std::vector<std::string>& data) {
    if (data.empty()) return;
    try {
        if (std::find(data.begin(), data.end(), musicFile_) != data.end()) {
            music.replace(Module::load(DataFolder(cache_), musicFile_));
            player.musicReplaced(MusicShape::load(DataFolder(cache_), musicFile_));
            musicUntil_ = work_.now() + musicNoticeSeconds;
            std::fprintf(stderr, "studio: music rebuilt\n");
        }
        player.reloadScenes(data);
        problems_.erase(refused);
    } catch (const std::exception& e) {
        // Data the tools made but the show refuses: said like any mistake, and the show keeps
        // what it had.
        std::fprintf(stderr, "%s\n", e.what());
        problems_[refused] = e.what();
    }
    // The scene play started in waited for its data: entered now, even if the music went past.
    if (fromAwaits_.empty()) return;
    std::erase_if(fromAwaits_, [&data](const std::string& f) { return std::find(data.begin(), data.end(), f) != data.end(); });
    // At the next turn, once the player has put the scene built now in its place: a seek in
    // the same breath as a reload would drop it.
    enterFrom_ = fromAwaits_.empty();
}
