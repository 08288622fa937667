#include "app/Studio.h"

#include "app/ShowSources.h"
#include "app/StudioCache.h"
#include "app/StudioError.h"
#include "app/StudioManifest.h"
#include "app/StudioShow.h"
#include "app/StudioWork.h"

#include "platform/Interrupt.h"
#include "show/Player.h"
#include "show/ShowFile.h"
#include "show/ShowPlan.h"
#include "tools/AssetBuild.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

Studio::Studio(const fs::path& source) : sources_(source) {
    if (sources_.empty()) {
        const auto tree = ShowSources::ofBuildTree();
        if (!tree) throw StudioError("the studio needs --source DIR, the folder of a show's sources (tindrel new DIR makes one)");
        sources_ = *tree;
    }
    std::error_code ec;
    if (!fs::is_directory(sources_, ec)) throw StudioError("no show's sources at " + sources_.string());
    cacheFolder_ = std::make_shared<StudioCache>(sources_);
    cache_ = cacheFolder_->data();
    std::fprintf(stderr, "studio: building the data from %s into %s\n", sources_.string().c_str(), cache_.string().c_str());
    manifest_ = std::make_unique<StudioManifest>(cacheFolder_->manifest(), StudioManifest::programDigest());
    builder_ = std::make_unique<StudioBuilder>(sources_, cache_, *manifest_);
    const std::vector<AssetBuild::Recipe> recipes = AssetBuild::recipes(sources_);
    musicFile_ = AssetBuild::musicOf(sources_);
    StudioManifest::Digests digests(sources_);
    std::size_t reused = 0;
    std::vector<std::string> first;  // the show file and the music
    for (const AssetBuild::Recipe& recipe : recipes) {
        if (manifest_->fresh(recipe, cache_, digests)) ++reused;
        else if (recipe.output == musicFile_ || recipe.output == ShowFile::fileName) first.push_back(recipe.output);
        else unbuilt_.push_back(recipe.output);
    }
    // The show file names the scenes and the music is the show's clock: nothing plays before
    // they are built. The rest is built while the show plays.
    std::string firstSaid;
    if (!first.empty()) {
        const double began = started_.seconds();
        builder_->build(first, [] { return Interrupt::requested(); },
                        [this](const std::string& output, const std::string& failure) {
                            // The last good file from an earlier session plays, under the mistake.
                            if (!failure.empty()) problems_[output] = failure;
                        });
        char text[80];
        std::snprintf(text, sizeof text, ", %s built now in %.0f ms",
                      first.size() == 2 ? "the show file and the music" : first.front() == musicFile_ ? "the music" : "the show file",
                      (started_.seconds() - began) * 1000.0);
        firstSaid = text;
    }
    const std::string reuse = "studio: " + (reused == recipes.size() ? "all " + std::to_string(reused)
                                                                     : std::to_string(reused) + " of " + std::to_string(recipes.size())) +
                              " files as built before" + firstSaid;
    if (unbuilt_.empty()) std::fprintf(stderr, "%s; data ready\n", reuse.c_str());
    else std::fprintf(stderr, "%s; building %zu while the show plays\n", reuse.c_str(), unbuilt_.size());
    std::set<std::string> missing;
    for (const auto& [output, message] : unmadeVerdicts(sources_, recipes, missing)) problems_[output] = message;
}

Studio::~Studio() = default;

void Studio::play(const LivePlay::Load& show, const LivePlay::Options& options) {
    std::optional<StudioWork> work;
    std::optional<StudioShow> screen;
    LivePlay::run(show, options, [&](Player& player, LiveMusic& music) {
        // The scene play starts in, when it waits for data, is built first and entered once
        // its data is there.
        const ShowPlan& plan = show();
        const Player::Target from{plan.range.from, plan.range.fromRow};
        std::vector<std::string> fromAwaits;
        for (const std::string& file : plan.timetable().playingAt(from.order).files)
            if (std::find(unbuilt_.begin(), unbuilt_.end(), file) != unbuilt_.end()) fromAwaits.push_back(file);
        std::stable_partition(unbuilt_.begin(), unbuilt_.end(), [&fromAwaits](const std::string& file) {
            return std::find(fromAwaits.begin(), fromAwaits.end(), file) != fromAwaits.end();
        });
        work.emplace(*builder_, unbuilt_, started_);
        screen.emplace(*work, cache_, musicFile_, problems_, started_, from, std::move(fromAwaits));
        player.awaitData(unbuilt_);
        player.holdAtEnd("the end: Home plays again");
        player.onIdle([&screen, &player, &music] { screen->apply(player, music); });
    });
}
