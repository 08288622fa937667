#include "app/StudioWork.h"

#include "platform/SourceFiles.h"
#include "tools/AssetBuild.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <unordered_set>

namespace fs = std::filesystem;

namespace {

void addOnce(std::vector<std::string>& list, const std::string& item) {
    if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

} // namespace

std::map<std::string, std::string> unmadeVerdicts(const fs::path& sources, const std::vector<AssetBuild::Recipe>& recipes,
                                                  std::set<std::string>& missing) {
    std::map<std::string, std::string> verdicts;
    for (const std::string& output : missing) verdicts[output] = "";
    std::set<std::string> now;
    for (const std::string& output : AssetBuild::unmade(sources, recipes)) {
        const std::string message = AssetBuild::unmadeMessage(output) + "; the show keeps the last good one";
        if (!missing.count(output)) std::fprintf(stderr, "%s\n", message.c_str());
        now.insert(output);
        verdicts[output] = message;
    }
    missing = std::move(now);
    return verdicts;
}

std::vector<std::string> affected(const std::vector<std::string>& saved, const std::vector<AssetBuild::Recipe>& recipes,
                                  const StudioManifest& manifest) {
    std::vector<std::string> outputs;
    for (const std::string& source : saved) {
        for (const AssetBuild::Recipe& recipe : recipes)
            if (std::find(recipe.sources.begin(), recipe.sources.end(), source) != recipe.sources.end())
                addOnce(outputs, recipe.output);
        for (const std::string& output : manifest.readers(source))
            if (std::any_of(recipes.begin(), recipes.end(), [&](const AssetBuild::Recipe& r) { return r.output == output; }))
                addOnce(outputs, output);
    }
    return outputs;
}

StudioBuild::Result StudioBuilder::build(const std::vector<std::string>& outputs, const std::function<bool()>& cancel,
                                         const Each& each, const std::string& program) {
    std::set<std::string> saidNow;  // one mistake that fails many files is said once
    const StudioBuild::Result result = StudioBuild::run(
        sources_, cache_, outputs, cancel,
        [&](const std::string& output, const std::string& failure, std::vector<StudioManifest::Read> reads) {
            if (failure.empty()) {
                manifest_.record(output, std::move(reads), cache_);
                said_.erase(output);
            } else {
                manifest_.failed(output, std::move(reads));
                // Said once: the same mistake again, or one the walk of the sources said, is
                // not repeated.
                if (said_[output] != failure && !SourceFiles::warned(failure) && saidNow.insert(failure).second)
                    std::fprintf(stderr, "%s\n", failure.c_str());
                said_[output] = failure;
            }
            if (each) each(output, failure);
        },
        program);
    manifest_.save();
    return result;
}

StudioWork::StudioWork(StudioBuilder& builder, std::vector<std::string> unbuilt, Timer& started)
    : builder_(builder), eye_(builder.sources()), unbuilt_(std::move(unbuilt)), started_(started) {
    worker_ = std::thread([this] { work(); });
}

StudioWork::~StudioWork() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

void StudioWork::begin() {
    {
        const std::lock_guard lock(mutex_);
        begun_ = true;
    }
    wake_.notify_all();
}

std::deque<StudioRound> StudioWork::take() {
    std::deque<StudioRound> rounds;
    const std::lock_guard lock(mutex_);
    rounds.swap(rounds_);
    return rounds;
}

bool StudioWork::stopping() {
    const std::lock_guard lock(mutex_);
    return stop_;
}

// Rounds the show has not taken yet are one: it reloads once for all that was made meanwhile.
void StudioWork::post(StudioRound round) {
    const std::lock_guard lock(mutex_);
    if (rounds_.empty()) {
        rounds_.push_back(std::move(round));
        return;
    }
    StudioRound& last = rounds_.back();
    // The earliest save's time is kept for the message of how long it took.
    if (!round.data.empty() && round.seen >= 0.0 && (last.seen < 0.0 || round.seen < last.seen)) last.seen = round.seen;
    for (const std::string& file : round.data) addOnce(last.data, file);
    for (auto& [entry, verdict] : round.verdicts) last.verdicts[entry] = std::move(verdict);
}

void StudioWork::firstBuild() {
    const double began = started_.seconds();
    std::size_t made = 0;
    const StudioBuild::Result result =
        builder_.build(unbuilt_, [this] { return stopping(); }, [&](const std::string& output, const std::string& failure) {
            StudioRound part;
            part.verdicts[output] = failure;
            std::error_code ec;
            // A mistake keeps the last good file from an earlier session, where there is one.
            if (failure.empty() || fs::is_regular_file(fs::symlink_status(builder_.cache() / output, ec)))
                part.data.push_back(output);
            if (failure.empty()) ++made;
            post(std::move(part));
        });
    if (!result.cancelled)
        std::fprintf(stderr, "studio: data ready, %zu of %zu files built in %.0f ms while the show played\n", made,
                     unbuilt_.size(), (started_.seconds() - began) * 1000.0);
}

void StudioWork::work() {
    {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return begun_ || stop_; });
    }
    if (!unbuilt_.empty()) {
        try {
            firstBuild();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
    }
    std::vector<std::string> again;  // saved files whose build a newer save cut short
    eye_.outside(builder_.manifest().outsideFolders());
    while (!stopping()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        StudioRound round;
        // The newest saves first: they are the ones the creator waits for.
        std::vector<std::string> saved = eye_.look(round.verdicts);
        for (const std::string& file : again) addOnce(saved, file);
        again.clear();
        if (saved.empty()) {
            if (!round.verdicts.empty()) post(std::move(round));
            continue;
        }
        const double seen = watch_.seconds();
        // An editor's save comes as several writes, a copy as thousands of files: the round
        // waits for a quiet moment, then works out once what the burst touched.
        std::unordered_set<std::string> known(saved.begin(), saved.end());
        for (int quiet = 0; quiet < 50 && !stopping(); ++quiet) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            const std::size_t before = saved.size();
            for (std::string& more : eye_.look(round.verdicts))
                if (known.insert(more).second) saved.push_back(std::move(more));
            if (saved.size() == before) break;
        }
        post(std::move(round));
        try {
            build(saved, seen, again);
        } catch (const std::exception& e) {
            // Whatever the tools throw stays a message: only the quit keys end the show.
            std::fprintf(stderr, "%s\n", e.what());
            post(StudioRound{.data = {}, .verdicts = {{saved.front(), e.what()}}, .seen = -1.0});
        }
        eye_.seen(saved);
        eye_.outside(builder_.manifest().outsideFolders());
    }
}

void StudioWork::build(const std::vector<std::string>& saved, double seen, std::vector<std::string>& again) {
    const std::vector<AssetBuild::Recipe> recipes = AssetBuild::recipes(builder_.sources());
    const std::vector<std::string> outputs = affected(saved, recipes, builder_.manifest());
    // A source the show needs that is gone is said before the build.
    StudioRound missing;
    missing.verdicts = unmadeVerdicts(builder_.sources(), recipes, missing_);
    post(std::move(missing));
    // Each output goes on screen as soon as it is made, not after the slowest of the round.
    const StudioBuild::Result result = builder_.build(
        outputs, [this] { return stopping() || eye_.newer(); },
        [&](const std::string& output, const std::string& failure) {
            StudioRound part{.data = {}, .verdicts = {{output, failure}}, .seen = seen};
            if (failure.empty()) part.data.push_back(output);
            post(std::move(part));
        });
    if (result.cancelled) {
        again = saved;
        if (!stopping()) std::fprintf(stderr, "studio: a newer save came; building again\n");
    }
}
