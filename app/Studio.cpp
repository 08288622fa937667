#include "app/Studio.h"

#include "app/CommandLine.h"
#include "app/ShowSources.h"

#include "platform/FileWatcher.h"
#include "platform/LiveMusic.h"
#include "platform/Module.h"
#include "platform/Timer.h"
#include "raster/AssetFile.h"
#include "raster/LoadError.h"
#include "show/Player.h"
#include "tools/AssetBuild.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The studio's own folder for the data it builds: per source folder, so two studios on two
// trees do not share it, and never the build's data.
fs::path cacheFor(const fs::path& sources) {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    const fs::path base = xdg && *xdg ? fs::path(xdg) : home && *home ? fs::path(home) / ".cache" : fs::temp_directory_path();
    const std::size_t key = std::hash<std::string>{}(fs::weakly_canonical(sources).string());
    char name[32];
    std::snprintf(name, sizeof name, "studio-%016zx", key);
    return base / "tindrel" / name / "data";
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
    Session(fs::path sources, fs::path cache, std::map<std::string, std::string> problems)
        : sources_(std::move(sources)), cache_(std::move(cache)), watcher_(sources_), problems_(std::move(problems)) {
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
            if (!round.data.empty()) shown_ = round.seen;
        }
        std::vector<std::string> banner;
        for (const auto& [source, problem] : problems_) banner.push_back(problem);
        player.setBanner(std::move(banner));
    }

private:
    void reload(Player& player, LiveMusic& music, const std::vector<std::string>& data) {
        try {
            for (const std::string& file : data) {
                if (file != "Super.xm") continue;
                music.replace(Module::load(file));
                player.musicReplaced();
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

    void work() {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            wake_.wait_for(lock, std::chrono::milliseconds(20));
            if (stop_) break;
            lock.unlock();
            std::vector<std::string> saved = watcher_.changes();
            if (!saved.empty()) {
                const double seen = watch_.seconds();
                // An editor's save can come as several writes: let it settle.
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                for (const std::string& more : watcher_.changes())
                    if (std::find(saved.begin(), saved.end(), more) == saved.end()) saved.push_back(more);
                Round round;
                try {
                    round = build(saved);
                } catch (const std::exception& e) {
                    // Whatever the tools throw stays a message: only the quit keys end the show.
                    round.verdicts[saved.front()] = e.what();
                    std::fprintf(stderr, "%s\n", e.what());
                }
                round.seen = seen;
                lock.lock();
                rounds_.push_back(std::move(round));
                continue;
            }
            lock.lock();
        }
    }

    Round build(const std::vector<std::string>& saved) {
        Round round;
        for (const std::string& source : saved) {
            const std::vector<std::string> made = AssetBuild::madeFrom(sources_, source);
            if (made.empty()) continue;
            std::string verdict;
            for (const std::string& file : made) {
                try {
                    AssetBuild::writeOne(sources_, cache_, file);
                    round.data.push_back(file);
                } catch (const std::exception& e) {
                    verdict = e.what();
                    std::fprintf(stderr, "%s\n", verdict.c_str());
                }
            }
            round.verdicts[source] = verdict;
        }
        return round;
    }

    fs::path sources_;
    fs::path cache_;
    FileWatcher watcher_;
    // Main thread only: per source, the mistake the banner shows.
    std::map<std::string, std::string> problems_;
    std::optional<double> shown_;
    PreciseTimer watch_;  // read by both threads: it only reads the clock
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
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
    cache_ = cacheFor(sources_);
    std::fprintf(stderr, "studio: building the data from %s into %s\n", sources_.string().c_str(), cache_.string().c_str());
    // A mistake at start is one like any other: the last good file from an earlier session
    // stays in the cache and the banner says what is wrong.
    for (const AssetBuild::Recipe& recipe : AssetBuild::recipes(sources_)) {
        try {
            AssetBuild::writeOne(sources_, cache_, recipe.output);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            problems_[recipe.sources.empty() ? recipe.output : recipe.sources.front()] = e.what();
        }
    }
    AssetFile::setRoot(cache_);
}

void Studio::play(const LivePlay::Options& options) {
    Session session(sources_, cache_, problems_);
    LivePlay::run(options, [&session](Player& player, LiveMusic& music) {
        player.onIdle([&session, &player, &music] { session.apply(player, music); });
    });
}
