#include "app/ShowSources.h"

#include "raster/OutputFile.h"
#include "tools/ObjectAssembler.h"
#include "tools/ShowObjects.h"

#include <stdexcept>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path runningProgram() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe;
}

bool holdsSources(const fs::path& dir) {
    std::error_code ec;
    return !dir.empty() && fs::is_regular_file(dir / "music" / "super.song", ec);
}

const char* const readme = R"(# My show

These are the readable sources of a show for tindrel: pictures as SVG, texture programs, and
the music as text. Every file here is yours to change.

Play it, and see every change the moment you save it:

    tindrel studio --source .

A mistake is shown as FILE:LINE: what over the picture while the show goes on.

- `PartN/*.svg`: the pictures of scene N, drawn at the size they already have (600 x 300 for a
  background). Draw in any editor; an SVG can hold a PNG of your own with
  `<image href="mine.png" width="600" height="300"/>`.
- `PartN/*.tex.txt`: texture programs. `tindrel-assetgen --list-ops` lists their operations;
  `tindrel convert PartN/texture.tex.txt texture.png` shows one alone.
- `PartN/*.lwo.txt`: the 3D objects, as text: surfaces, points and triangles. A triangle
  facing the eye lists its points anticlockwise as the eye sees them, and only then is it lit.
  `tindrel convert PartN/star.lwo.txt star.png` draws one from three angles.
- `music/*.song`: the music and the show's clock. `tindrel-assetgen --list-notation` lists the
  notation; a pattern need only write the rows that hold notes.

To publish it, build its data and render it:

    tindrel-assetgen . ../my-show-data
    tindrel capture frames --video my-show.mp4 --data ../my-show-data

The guide to all of it is docs/making-a-show.md in tindrel's source, with the notation in
docs/song-notation.md and the texture operations in docs/texture-ops.md.
)";

} // namespace

namespace ShowSources {

std::optional<fs::path> ofBuildTree() {
    const fs::path exe = runningProgram();
    const fs::path buildTree = fs::path(TINDREL_BUILD_DATA_DIR).parent_path();
    std::error_code ec;
    if (exe.empty() || !fs::equivalent(exe.parent_path(), buildTree, ec) || ec) return std::nullopt;
    if (!holdsSources(TINDREL_SOURCE_ASSETS_DIR)) return std::nullopt;
    return fs::path(TINDREL_SOURCE_ASSETS_DIR);
}

std::optional<fs::path> forNewShow() {
    if (auto tree = ofBuildTree()) return tree;
    const fs::path exe = runningProgram();
    const fs::path installed = exe.empty() ? fs::path() : exe.parent_path().parent_path() / "share" / "tindrel" / "sources";
    for (const fs::path& candidate : {installed, fs::path(TINDREL_INSTALL_DATA_DIR) / "sources"})
        if (holdsSources(candidate)) return candidate;
    return std::nullopt;
}

void makeNewShow(const fs::path& dir) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(dir, ec))) {
        if (!fs::is_directory(dir, ec)) throw std::runtime_error(dir.string() + " is a file; name a new folder");
        if (!fs::is_empty(dir, ec)) throw std::runtime_error(dir.string() + " is not empty; name a new or empty folder");
    }
    const auto sources = forNewShow();
    if (!sources) throw std::runtime_error("the show's sources are not installed: there is nothing to start from");
    fs::create_directories(dir);
    // Only the files of the sources, never what a link there points at.
    for (auto it = fs::recursive_directory_iterator(*sources); it != fs::recursive_directory_iterator(); ++it) {
        const fs::path to = dir / fs::relative(it->path(), *sources);
        if (it->is_symlink()) continue;
        if (it->is_directory()) fs::create_directories(to);
        else if (it->is_regular_file()) fs::copy_file(it->path(), to);
    }
    // The objects the show makes in code, as sources to start from.
    for (const auto& [name, object] : showObjectModels()) {
        const fs::path to = dir / (name + ".txt");
        if (fs::exists(fs::symlink_status(to, ec))) continue;
        const std::string source = ObjectAssembler::source(object, name + ".txt: one of the show's objects, as tindrel new wrote it");
        fs::create_directories(to.parent_path());
        OutputFile::writeWhole(to, source.data(), source.size(), "the object");
    }
    const std::string text = readme;
    OutputFile::writeWhole(dir / "README.md", text.data(), text.size(), "the README");
}

} // namespace ShowSources
