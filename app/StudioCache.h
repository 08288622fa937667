#pragma once

#include <filesystem>
#include <string>

// The studio's own folder for the data it builds, one per source folder so two studios on two
// trees do not share it: under $XDG_CACHE_HOME, else ~/.cache, kept between sessions so a
// mistake at start still leaves the last good data. With neither, a fresh folder of this session
// alone, made private by mkdtemp and removed at the end. A folder of the path that is a link,
// someone else's, or open to others is refused: nothing is written through what another user
// could have planted.
class StudioCache {
public:
    // Throws std::runtime_error naming the folder it cannot make its own.
    explicit StudioCache(const std::filesystem::path& sources);
    ~StudioCache();
    StudioCache(const StudioCache&) = delete;
    StudioCache& operator=(const StudioCache&) = delete;

    // Where the show's data is built and read from.
    const std::filesystem::path& data() const { return data_; }
    // Where the studio records what it built there, beside the data and never read by the show.
    std::filesystem::path manifest() const { return data_.parent_path() / "manifest"; }

private:
    std::filesystem::path data_;
    std::filesystem::path temporary_;  // the session's own folder, when there is one
};
