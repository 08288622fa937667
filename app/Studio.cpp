#include "app/Studio.h"

#include "app/CommandLine.h"
#include "app/ShowSources.h"
#include "app/StudioBuild.h"
#include "app/StudioCache.h"
#include "app/StudioManifest.h"

#include "platform/FileWatcher.h"
#include "platform/Interrupt.h"
#include "platform/LiveMusic.h"
#include "platform/MusicShape.h"
#include "platform/Module.h"
#include "platform/Timer.h"
#include "raster/DataFolder.h"
#include "raster/LoadError.h"
#include "show/Player.h"
#include "tools/AssetBuild.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_set>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Banner entries that are not a source's own mistake.
constexpr const char* watchNotice = " the watch";
constexpr const char* folderNotice = " the folder";

// Per data file the show needs that no source makes now, its message under its source's name;
// those in missing that have a source again, an empty one. missing is brought up to date.
std::map<std::string, std::string> unmadeVerdicts(const fs::path& sources, const std::vector<AssetBuild::Recipe>& recipes,
                                                  std::set<std::string>& missing) {
    std::map<std::string, std::string> verdicts;
    for (const std::string& source : missing) verdicts[source] = "";
    std::set<std::string> now;
    for (const std::string& output : AssetBuild::unmade(sources, recipes)) {
        const std::string message = AssetBuild::unmadeMessage(output) + "; the show keeps the last good one";
        if (!missing.count(output + ".txt")) std::fprintf(stderr, "%s\n", message.c_str());
        now.insert(output + ".txt");
        verdicts[output + ".txt"] = message;
    }
    missing = std::move(now);
    return verdicts;
}

// What one round of saves came to: the data files made anew, and per source its mistake or,
// when empty, that it builds again.
struct Round {
    std::vector<std::string> data;
    std::map<std::string, std::string> verdicts;
    double seen = 0.0;  // on the studio's watch
};

class Session {
public:
    // unbuilt: data files to build first, while the show plays; started: the studio's start.
    Session(fs::path sources, fs::path cache, std::string musicFile, std::map<std::string, std::string> problems,
            StudioManifest& manifest,
            std::vector<std::string> unbuilt, Timer& started)
        : sources_(std::move(sources)), cache_(std::move(cache)), musicFile_(std::move(musicFile)), watcher_(std::make_unique<FileWatcher>(sources_)),
          snapshot_(StudioBuild::snapshot(sources_)), manifest_(manifest), unbuilt_(std::move(unbuilt)),
          problems_(std::move(problems)), started_(started) {
        worker_ = std::thread([this] { work(); });
    }
    ~Session() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        worker_.join();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // On the main thread, between frames: what the worker built goes on screen.
    void apply(Player& player, LiveMusic& music) {
        if (!firstShown_) {
            firstShown_ = true;
            std::fprintf(stderr, "studio: first frame on screen %.0f ms after the start\n", started_.seconds() * 1000.0);
            {
                const std::lock_guard lock(mutex_);
                showing_ = true;
            }
            wake_.notify_all();
        }
        if (shown_) {
            std::fprintf(stderr, "studio: on screen %.0f ms after the save\n", (watch_.seconds() - *shown_) * 1000.0);
            shown_.reset();
        }
        std::deque<Round> rounds;
        {
            const std::lock_guard lock(mutex_);
            rounds.swap(rounds_);
        }
        for (Round& round : rounds) {
            for (const auto& [source, verdict] : round.verdicts) {
                if (verdict.empty()) problems_.erase(source);
                else problems_[source] = verdict;
            }
            reload(player, music, round.data);
            if (!round.data.empty() && round.seen >= 0.0) shown_ = round.seen;
        }
        std::vector<std::string> banner;
        for (const auto& [source, problem] : problems_) banner.push_back(problem);
        player.setBanner(std::move(banner));
    }

private:
    void reload(Player& player, LiveMusic& music, const std::vector<std::string>& data) {
        try {
            for (const std::string& file : data) {
                if (file != musicFile_) continue;
                music.replace(Module::load(DataFolder(cache_), file));
                player.musicReplaced(MusicShape::load(DataFolder(cache_), file));
            }
            player.reloadScenes(data);
            problems_.erase(refused);
        } catch (const std::exception& e) {
            // Data the tools made but the show refuses: said like any mistake, and the show
            // keeps what it had.
            std::fprintf(stderr, "%s\n", e.what());
            problems_[refused] = e.what();
        }
    }

    static constexpr const char* refused = "the show's data";

    bool stopping() {
        const std::lock_guard lock(mutex_);
        return stop_;
    }

    // Rounds the show has not taken yet are one: it reloads once for all that was made meanwhile.
    void post(Round round) {
        const std::lock_guard lock(mutex_);
        if (rounds_.empty()) {
            rounds_.push_back(std::move(round));
            return;
        }
        Round& last = rounds_.back();
        // A save's time is kept for the message of how long it took; the first build has none.
        const bool lastTimed = !last.data.empty() && last.seen >= 0.0;
        if (!round.data.empty() && round.seen >= 0.0 && (!lastTimed || round.seen < last.seen)) last.seen = round.seen;
        else if (!lastTimed) last.seen = -1.0;
        for (std::string& file : round.data)
            if (std::find(last.data.begin(), last.data.end(), file) == last.data.end()) last.data.push_back(std::move(file));
        for (auto& [source, verdict] : round.verdicts) last.verdicts[source] = std::move(verdict);
    }

    // The files saved since the last look, and what the watch itself has to say: a lost folder,
    // found again, or lost events, after which the sources are compared with what was built.
    std::vector<std::string> look(Round& round) {
        if (!watcher_) {
            std::error_code ec;
            if (!fs::is_directory(sources_, ec)) return {};
            try {
                watcher_ = std::make_unique<FileWatcher>(sources_);
            } catch (const std::exception&) {
                return {};
            }
            const std::string message = "studio: " + sources_.string() + " is back; watching it again";
            std::fprintf(stderr, "%s\n", message.c_str());
            round.verdicts[folderNotice] = message;
            return rescan();
        }
        std::vector<std::string> saved = watcher_->changes();
        if (watcher_->lost()) {
            watcher_.reset();
            const std::string message = "studio: " + sources_.string() +
                                        " was moved or deleted; the show keeps its data and the studio waits for the "
                                        "folder to come back";
            std::fprintf(stderr, "studio: %s\n", message.c_str());
            round.verdicts[folderNotice] = message;
            return {};
        }
        if (watcher_->overflowed()) {
            const std::vector<std::string> changed = rescan();
            saved.insert(saved.end(), changed.begin(), changed.end());
            const std::string message = "studio: too many changes at once for the watch; the sources were compared again, " +
                                        std::to_string(changed.size()) + " files changed";
            std::fprintf(stderr, "%s\n", message.c_str());
            round.verdicts[watchNotice] = message;
        } else if (!saved.empty()) {
            // What the watch had to say stays until the next save.
            round.verdicts[watchNotice] = "";
            round.verdicts[folderNotice] = "";
        }
        return saved;
    }

    std::vector<std::string> rescan() {
        StudioBuild::Snapshot now = StudioBuild::snapshot(sources_);
        std::vector<std::string> changed = StudioBuild::differences(snapshot_, now);
        snapshot_ = std::move(now);
        return changed;
    }

    // The files the cache lacks, each to the show as soon as it is made. A source with a mistake
    // is said, and the last good file from an earlier session, where there is one, plays.
    void buildFirst() {
        const double began = started_.seconds();
        std::map<std::string, std::optional<std::uint64_t>> keys;  // each read before its build
        std::map<std::string, std::string> sourceOf;
        for (const AssetBuild::Recipe& recipe : AssetBuild::recipes(sources_)) {
            if (std::find(unbuilt_.begin(), unbuilt_.end(), recipe.output) == unbuilt_.end()) continue;
            keys[recipe.output] = manifest_.keyOf(sources_, recipe);
            sourceOf[recipe.output] = recipe.sources.empty() ? recipe.output : recipe.sources.front();
        }
        std::size_t made = 0;
        const StudioBuild::Result result = StudioBuild::run(
            sources_, cache_, unbuilt_, [this] { return stopping(); },
            [&](const std::string& output, const std::string& failure) {
                Round part{.data = {}, .verdicts = {}, .seen = -1.0};
                std::error_code ec;
                if (failure.empty()) {
                    manifest_.record(output, keys[output], cache_);
                    part.data.push_back(output);
                    ++made;
                } else {
                    std::fprintf(stderr, "%s\n", failure.c_str());
                    manifest_.forget(output);
                    part.verdicts[sourceOf.count(output) ? sourceOf[output] : output] = failure;
                    if (fs::is_regular_file(fs::symlink_status(cache_ / output, ec))) part.data.push_back(output);
                }
                post(std::move(part));
            });
        manifest_.save();
        if (!result.cancelled)
            std::fprintf(stderr, "studio: data ready, %zu of %zu files built in %.0f ms while the show played\n", made,
                         unbuilt_.size(), (started_.seconds() - began) * 1000.0);
    }

    void work() {
        {
            // Until the window is up, standard error may be silenced for the libraries that
            // open it, and a build started then would lose what it says.
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return showing_ || stop_; });
        }
        if (!unbuilt_.empty()) {
            try {
                buildFirst();
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s\n", e.what());
            }
        }
        std::vector<std::string> saved;
        while (!stopping()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            Round round;
            for (const std::string& file : look(round))
                if (std::find(saved.begin(), saved.end(), file) == saved.end()) saved.push_back(file);
            if (saved.empty()) {
                if (!round.verdicts.empty()) post(std::move(round));
                continue;
            }
            round.seen = watch_.seconds();
            // An editor's save comes as several writes, a copy as thousands of files: the round
            // waits for a quiet moment, then works out once what the burst touched.
            for (int quiet = 0; quiet < 50 && !stopping(); ++quiet) {
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                std::size_t before = saved.size();
                std::unordered_set<std::string> known(saved.begin(), saved.end());
                for (std::string& more : look(round))
                    if (known.insert(more).second) saved.push_back(std::move(more));
                if (saved.size() == before) break;
            }
            std::vector<std::string> again;
            try {
                build(saved, round, again);
            } catch (const std::exception& e) {
                // Whatever the tools throw stays a message: only the quit keys end the show.
                round.verdicts[saved.front()] = e.what();
                std::fprintf(stderr, "%s\n", e.what());
            }
            StudioBuild::refresh(snapshot_, sources_, saved);
            saved = std::move(again);
            if (!round.data.empty() || !round.verdicts.empty()) post(std::move(round));
        }
    }

    // Builds what the saved files make, in a child process killed at once when the studio ends
    // or a new save comes: that save's round then builds everything again, so no save waits on
    // a build that will not end. Sources whose build was cut short go in again.
    void build(const std::vector<std::string>& saved, Round& round, std::vector<std::string>& again) {
        const double seen = round.seen;
        const std::vector<AssetBuild::Recipe> recipes = AssetBuild::recipes(sources_);
        std::map<std::string, std::vector<std::string>> makes;  // per source, its outputs
        for (const AssetBuild::Recipe& recipe : recipes)
            for (const std::string& source : recipe.sources) makes[source].push_back(recipe.output);
        std::vector<std::string> outputs;
        for (const std::string& source : saved)
            for (const std::string& output : makes[source])
                if (std::find(outputs.begin(), outputs.end(), output) == outputs.end()) outputs.push_back(output);
        std::map<std::string, std::optional<std::uint64_t>> keys;  // each read before its build
        for (const AssetBuild::Recipe& recipe : recipes)
            if (std::find(outputs.begin(), outputs.end(), recipe.output) != outputs.end())
                keys[recipe.output] = manifest_.keyOf(sources_, recipe);
        for (auto& [source, verdict] : unmadeVerdicts(sources_, recipes, missing_)) round.verdicts[source] = verdict;
        // The part of the round known so far goes on screen before the build: a missing source.
        post(std::move(round));
        round = Round{.data = {}, .verdicts = {}, .seen = seen};
        // Each output goes on screen as soon as it is made, not after the slowest of the round.
        std::map<std::string, std::size_t> left;
        std::map<std::string, std::string> failures;
        for (const std::string& source : saved) left[source] = makes[source].size();
        const auto done = [&](const std::string& output, const std::string& failure) {
            Round part{.data = {}, .verdicts = {}, .seen = seen};
            if (failure.empty()) {
                part.data.push_back(output);
                manifest_.record(output, keys[output], cache_);
            } else {
                std::fprintf(stderr, "%s\n", failure.c_str());
                manifest_.forget(output);
            }
            for (const std::string& source : saved) {
                const std::vector<std::string>& made = makes[source];
                if (std::find(made.begin(), made.end(), output) == made.end()) continue;
                if (!failure.empty()) failures[source] = failure;
                if (--left[source] == 0) part.verdicts[source] = failures[source];
            }
            post(std::move(part));
        };
        std::vector<std::string> newer;
        const StudioBuild::Result result = StudioBuild::run(
            sources_, cache_, outputs,
            [&] {
                if (stopping()) return true;
                if (!watcher_) return false;
                for (std::string& file : watcher_->changes()) newer.push_back(std::move(file));
                // A lost folder or lost events are the next round's to see.
                return !newer.empty() || watcher_->lost();
            },
            done);
        manifest_.save();
        if (result.cancelled) {
            // The newest save first: it is the one the user waits for.
            again = newer;
            for (const std::string& file : saved)
                if (std::find(again.begin(), again.end(), file) == again.end()) again.push_back(file);
            if (!stopping()) std::fprintf(stderr, "studio: a newer save came; building again\n");
        }
    }

    fs::path sources_;
    fs::path cache_;
    std::string musicFile_;
    std::unique_ptr<FileWatcher> watcher_;  // worker only; none while the folder is gone
    StudioBuild::Snapshot snapshot_;        // worker only
    std::set<std::string> missing_;         // worker only: sources the show needs that are gone
    StudioManifest& manifest_;              // worker only
    std::vector<std::string> unbuilt_;      // worker only
    // Main thread only: per source, the mistake the banner shows.
    std::map<std::string, std::string> problems_;
    std::optional<double> shown_;
    bool firstShown_ = false;
    Timer& started_;  // read by both threads: it only reads the clock
    PreciseTimer watch_;  // read by both threads: it only reads the clock
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool showing_ = false;  // the first frame is on screen
    std::deque<Round> rounds_;
    std::thread worker_;
};

} // namespace

Studio::Studio(const fs::path& source) : sources_(source) {
    if (sources_.empty()) {
        const auto tree = ShowSources::ofBuildTree();
        if (!tree)
            throw CommandLine::UsageError(
                "the studio needs --source DIR, the folder of a show's sources (tindrel new DIR makes one)");
        sources_ = *tree;
    }
    std::error_code ec;
    if (!fs::is_directory(sources_, ec)) throw CommandLine::UsageError("no asset sources at " + sources_.string());
    cacheFolder_ = std::make_shared<StudioCache>(sources_);
    cache_ = cacheFolder_->data();
    std::fprintf(stderr, "studio: building the data from %s into %s\n", sources_.string().c_str(), cache_.string().c_str());
    manifest_ = std::make_unique<StudioManifest>(cacheFolder_->manifest(), StudioManifest::programDigest());
    const std::vector<AssetBuild::Recipe> recipes = AssetBuild::recipes(sources_);
    musicFile_ = AssetBuild::musicOf(sources_);
    const std::string& musicFile = musicFile_;
    std::vector<std::string> music;
    for (const AssetBuild::Recipe& recipe : recipes) {
        if (manifest_->fresh(recipe.output, manifest_->keyOf(sources_, recipe), cache_)) continue;
        (recipe.output == musicFile ? music : unbuilt_).push_back(recipe.output);
    }
    // The music is the show's clock: nothing plays before it is built. The rest is built while
    // the show plays.
    if (!music.empty()) {
        const AssetBuild::Recipe& recipe =
            *std::find_if(recipes.begin(), recipes.end(), [&](const AssetBuild::Recipe& r) { return r.output == musicFile; });
        const auto key = manifest_->keyOf(sources_, recipe);
        const StudioBuild::Result result = StudioBuild::run(sources_, cache_, music, [] { return Interrupt::requested(); });
        if (const auto failed = result.failed.find(musicFile); failed != result.failed.end()) {
            // A mistake at start is one like any other: the last good file from an earlier
            // session stays in the cache and the banner says what is wrong.
            std::fprintf(stderr, "%s\n", failed->second.c_str());
            problems_[recipe.sources.empty() ? recipe.output : recipe.sources.front()] = failed->second;
            manifest_->forget(musicFile);
        } else {
            manifest_->record(musicFile, key, cache_);
        }
        manifest_->save();
    }
    if (unbuilt_.empty())
        std::fprintf(stderr, "studio: data ready, all %zu files as built before\n", recipes.size());
    else
        std::fprintf(stderr, "studio: building %zu of %zu files while the show plays\n", unbuilt_.size(), recipes.size());
    std::set<std::string> missing;
    for (const auto& [from, message] : unmadeVerdicts(sources_, recipes, missing)) problems_[from] = message;
}

Studio::~Studio() = default;

void Studio::play(const LivePlay::Load& show, const LivePlay::Options& options) {
    Session session(sources_, cache_, musicFile_, problems_, *manifest_, unbuilt_, started_);
    LivePlay::run(show, options, [&session, this](Player& player, LiveMusic& music) {
        player.awaitData(unbuilt_);
        player.onIdle([&session, &player, &music] { session.apply(player, music); });
    });
}
