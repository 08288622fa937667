#pragma once

#include "app/LivePlay.h"
#include "platform/Timer.h"
#include "raster/DataFolder.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

class StudioBuilder;
class StudioCache;
class StudioManifest;

// The show played from its readable sources, rebuilt as they are saved. The data is built into
// a cache folder of the studio's own, where a file is used again when every file its build read
// (its source, what that embeds or includes, the fonts the renderer picked) and the program are
// as they were: with nothing changed the show starts at once, and what must be built is built
// while the show plays, each scene waiting for its data. The sources are watched: a saved file
// rebuilds the data made from it or read in its making, and only the scenes that load that
// data are built again, where the show is, paused or not. A saved song restarts the music at
// the same order and row. A mistake in a source is printed as FILE:LINE: what and shown over
// the picture, the last good data stays, and fixing the file clears it. The show's end holds
// the last frame: nothing but the quit keys ends the studio.
class Studio {
public:
    // Builds the show file and the music from source (empty: the assets/ folder of the tree this
    // program was built from, when it runs from that build tree) into its cache, and works out
    // what else must be built. Throws StudioError when there are no sources there; a source with a
    // mistake is said, and its last good file kept.
    explicit Studio(const std::filesystem::path& source);
    ~Studio();
    Studio(const Studio&) = delete;
    Studio& operator=(const Studio&) = delete;
    // The cache, where the show's files are read from.
    DataFolder data() const { return DataFolder(cache_); }
    // Plays the show, loaded from the cache, until the creator quits.
    void play(const LivePlay::Load& show, const LivePlay::Options& options);

private:
    std::filesystem::path sources_;
    std::shared_ptr<const StudioCache> cacheFolder_;  // removed with the last copy
    std::filesystem::path cache_;
    std::string musicFile_;  // the music's data file
    std::map<std::string, std::string> problems_;  // per data file, a mistake met at start
    std::unique_ptr<StudioManifest> manifest_;
    std::unique_ptr<StudioBuilder> builder_;
    std::vector<std::string> unbuilt_;  // data files to build while the show plays
    PreciseTimer started_;
};
