#pragma once

#include "app/StudioBuild.h"
#include "app/StudioManifest.h"
#include "app/StudioWatch.h"
#include "platform/Timer.h"

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// The one way the studio builds data files, at start and after a save alike: in a child
// process, each file recorded in the manifest with what its build read, each mistake said once.
class StudioBuilder {
public:
    StudioBuilder(std::filesystem::path sources, std::filesystem::path cache, StudioManifest& manifest)
        : sources_(std::move(sources)), cache_(std::move(cache)), manifest_(manifest) {}
    // Hears of each output as it is made (failure empty) or has failed.
    using Each = std::function<void(const std::string& output, const std::string& failure)>;
    // StudioBuild::run's, the manifest saved after.
    StudioBuild::Result build(const std::vector<std::string>& outputs, const std::function<bool()>& cancel,
                              const Each& each = {}, const std::string& program = "/proc/self/exe");
    const std::filesystem::path& sources() const { return sources_; }
    const std::filesystem::path& cache() const { return cache_; }
    StudioManifest& manifest() { return manifest_; }

private:
    std::filesystem::path sources_;
    std::filesystem::path cache_;
    StudioManifest& manifest_;
    std::map<std::string, std::string> said_;  // per output, the mistake last said
};

// What a round of work came to, for the show to take between frames.
struct StudioRound {
    std::vector<std::string> data;               // data files made anew
    std::map<std::string, std::string> verdicts;  // per banner entry, its message, or empty to clear it
    double seen = -1.0;                           // when the save was seen, on StudioWork::now(); negative: none
};

// The studio's worker thread: it builds what the cache lacked while the show plays, then
// watches the sources and builds what each save changes, the files its source names and those
// whose last build read it. A newer save cuts a build short and is built at once with it.
class StudioWork {
public:
    // unbuilt: data files to build first; builder is the worker's alone from here on.
    StudioWork(StudioBuilder& builder, std::vector<std::string> unbuilt, Timer& started);
    ~StudioWork();
    StudioWork(const StudioWork&) = delete;
    StudioWork& operator=(const StudioWork&) = delete;

    // The first frame is on screen: building may start. Until the window is up, standard error
    // may be silenced for the libraries that open it, and a build started then would lose what
    // it says.
    void begin();
    // The rounds done since the last call, several made one.
    std::deque<StudioRound> take();
    double now() { return watch_.seconds(); }

private:
    void work();
    void firstBuild();
    // Builds what the saved files make; sources whose build was cut short go to again.
    void build(const std::vector<std::string>& saved, double seen, std::vector<std::string>& again);
    void post(StudioRound round);
    bool stopping();

    StudioBuilder& builder_;
    StudioWatch eye_;
    std::vector<std::string> unbuilt_;
    std::set<std::string> missing_;  // data files the show needs that no source makes now
    Timer& started_;
    PreciseTimer watch_;  // read by both threads: it only reads the clock
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool begun_ = false;
    std::deque<StudioRound> rounds_;
    std::thread worker_;
};

// The data files a round of saves must build again: those whose recipe names a saved file, and
// those whose last build read one (a picture it is embedded in, a song it is included in, an
// object made from it before it was deleted), of the data files the sources make now.
std::vector<std::string> affected(const std::vector<std::string>& saved, const std::vector<AssetBuild::Recipe>& recipes,
                                  const StudioManifest& manifest);

// Per data file the show needs that no source makes now, its message; those in missing that
// have a source again, an empty one. missing is brought up to date, and each new one said.
std::map<std::string, std::string> unmadeVerdicts(const std::filesystem::path& sources,
                                                  const std::vector<AssetBuild::Recipe>& recipes,
                                                  std::set<std::string>& missing);
