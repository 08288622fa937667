#include "app/Studio.h"

#include "app/ShowSources.h"
#include "app/StudioCache.h"
#include "app/StudioError.h"
#include "app/StudioManifest.h"
#include "app/StudioShow.h"
#include "app/StudioWork.h"

#include "platform/Interrupt.h"
#include "show/Player.h"
#include "show/Timetable.h"
#include "tools/AssetBuild.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* musicFile = "Super.xm";

} // namespace

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
    StudioManifest::Digests digests(sources_);
    std::size_t reused = 0;
    bool music = false;
    for (const AssetBuild::Recipe& recipe : recipes) {
        if (manifest_->fresh(recipe, cache_, digests)) ++reused;
        else if (recipe.output == musicFile) music = true;
        else unbuilt_.push_back(recipe.output);
    }
    // The music is the show's clock: nothing plays before it is built. The rest is built while
    // the show plays.
    std::string musicSaid;
    if (music) {
        const double began = started_.seconds();
        builder_->build({musicFile}, [] { return Interrupt::requested(); },
                        [this](const std::string& output, const std::string& failure) {
                            // The last good music from an earlier session plays, under the mistake.
                            if (!failure.empty()) problems_[output] = failure;
                        });
        char text[64];
        std::snprintf(text, sizeof text, ", the music built now in %.0f ms", (started_.seconds() - began) * 1000.0);
        musicSaid = text;
    }
    const std::string reuse = "studio: " + (reused == recipes.size() ? "all " + std::to_string(reused)
                                                                     : std::to_string(reused) + " of " + std::to_string(recipes.size())) +
                              " files as built before" + musicSaid;
    if (unbuilt_.empty()) std::fprintf(stderr, "%s; data ready\n", reuse.c_str());
    else std::fprintf(stderr, "%s; building %zu while the show plays\n", reuse.c_str(), unbuilt_.size());
    std::set<std::string> missing;
    for (const auto& [output, message] : unmadeVerdicts(recipes, missing)) problems_[output] = message;
}

Studio::~Studio() = default;

void Studio::play(LivePlay::Options options) {
    // The scene play starts in, when it waits for data, is entered once that is built.
    const Player::Target from{options.from, options.fromRow};
    std::vector<std::string> fromAwaits;
    for (const std::string& file : Timetable::playingAt(options.from).files)
        if (std::find(unbuilt_.begin(), unbuilt_.end(), file) != unbuilt_.end()) fromAwaits.push_back(file);
    // Built first, so the scene asked for comes as soon as it can.
    std::stable_partition(unbuilt_.begin(), unbuilt_.end(), [&fromAwaits](const std::string& file) {
        return std::find(fromAwaits.begin(), fromAwaits.end(), file) != fromAwaits.end();
    });
    StudioWork work(*builder_, unbuilt_, started_);
    StudioShow show(work, cache_, problems_, started_, from, std::move(fromAwaits));
    options.data = data();
    LivePlay::run(options, [&show, this](Player& player, LiveMusic& music) {
        player.awaitData(unbuilt_);
        player.holdAtEnd("the end: Home plays again");
        player.onIdle([&show, &player, &music] { show.apply(player, music); });
    });
}
