#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The studio's builds, each in a child process of this program: a source that makes the tools
// work for long, or wedges them, is killed with its build, so quitting never waits on it and
// the next save still builds. The child writes the data files into the cache itself, each aside
// and renamed, and reports each as it goes.
namespace StudioBuild {

// The child's first argument; never typed by a user.
inline constexpr const char* childCommand = "--studio-build-child";

// The child: argv[0] the program, argv[1] childCommand, then SOURCES CACHE OUTPUT...
int childMain(int argc, char** argv);

struct Result {
    std::vector<std::string> made;                 // outputs written
    std::map<std::string, std::string> failed;     // output: its "FILE:LINE: what"
    bool cancelled = false;                        // stopped by cancel before the end
};

// Builds outputs from sources into cache in a child process. cancel is asked every few
// milliseconds; once it says so the child is killed and the result says what was done by then.
// done, when given, hears of each output as soon as it is made (failure empty) or has failed.
using Done = std::function<void(const std::string& output, const std::string& failure)>;
Result run(const std::filesystem::path& sources, const std::filesystem::path& cache,
           const std::vector<std::string>& outputs, const std::function<bool()>& cancel, const Done& done = {});

// Every source file's size, time and file number, to find what changed when the saves
// themselves were lost (a watch queue's overflow, a folder moved away and back).
struct Stamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time;
    unsigned long long inode = 0;
    bool operator==(const Stamp&) const = default;
};
using Snapshot = std::map<std::string, Stamp>;
Snapshot snapshot(const std::filesystem::path& sources);
// Brings the snapshot up to date for files just seen.
void refresh(Snapshot& snapshot, const std::filesystem::path& sources, const std::vector<std::string>& files);
// Files added, changed or gone between two snapshots.
std::vector<std::string> differences(const Snapshot& before, const Snapshot& after);

} // namespace StudioBuild
