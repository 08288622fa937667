#pragma once

#include <filesystem>
#include <optional>

// Where the show's own readable sources are, for a new show to start from and for the studio
// when no --source is given.
namespace ShowSources {

// The assets/ folder of the source tree this program was built from, but only while the
// program runs from that build tree: an installed copy must not reach back into a tree that
// may since have moved on or gone.
std::optional<std::filesystem::path> ofBuildTree();

// The sources a new show is made from: the build tree's, else those installed beside the
// program (share/tindrel/sources), else those of the configured installation. Empty when there
// are none.
std::optional<std::filesystem::path> forNewShow();

// Writes a new show into dir: the show's sources, its objects as readable sources (X.lwo.txt)
// and a README.md for its creator. Throws
// std::runtime_error when dir exists and is not an empty folder, or there are no sources.
void makeNewShow(const std::filesystem::path& dir);

} // namespace ShowSources
