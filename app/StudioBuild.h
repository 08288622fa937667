#pragma once

#include "app/StudioManifest.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The studio's builds, each in a child process of this program: a source that makes the tools
// work for long, or wedges them, is killed with its build, so quitting never waits on it and
// the next save still builds. The child writes the data files into the cache itself, each aside
// and renamed, and reports each as it goes, with every file its build read.
namespace StudioBuild {

// The child's first argument; never typed by a user.
inline constexpr const char* childCommand = "--studio-build-child";

// The child: argv[0] the program, argv[1] childCommand, then SOURCES CACHE OUTPUT...
int childMain(int argc, char** argv);

struct Result {
    std::vector<std::string> made;              // outputs written
    std::map<std::string, std::string> failed;  // output: its "FILE:LINE: what"
    bool cancelled = false;                     // stopped by cancel before the end
};

// Hears of each output as soon as it is made (failure empty) or has failed, with what its
// build read.
using Done = std::function<void(const std::string& output, const std::string& failure,
                                std::vector<StudioManifest::Read> reads)>;

// Builds outputs from sources into cache in a child process of program (this one, unless
// given). cancel is asked every few milliseconds; once it says so the child is killed and the
// result says what was done by then.
Result run(const std::filesystem::path& sources, const std::filesystem::path& cache,
           const std::vector<std::string>& outputs, const std::function<bool()>& cancel, const Done& done,
           const std::string& program = "/proc/self/exe");

} // namespace StudioBuild
