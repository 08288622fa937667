#include "TestImages.h"
#include "platform/FileWatcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
void save(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }
} // namespace

TEST(FileWatcher, ReportsEachSavedFileOnceWhereverAndHoweverItWasSaved) {
    const fs::path root = TestImages::scratch("watched");
    fs::create_directories(root / "Part8");
    save(root / "Part8" / "texture.tex.txt", "before");
    FileWatcher watcher(root);
    EXPECT_TRUE(watcher.changes().empty()) << "nothing saved yet";

    // Written in place twice; saved aside and moved over (as many editors do); a file in a
    // folder made after the watch began.
    save(root / "Part8" / "texture.tex.txt", "once");
    save(root / "Part8" / "texture.tex.txt", "twice");
    save(root / "Part8" / ".background.svg.swp", "aside");
    fs::rename(root / "Part8" / ".background.svg.swp", root / "Part8" / "background.svg");
    fs::create_directories(root / "music");
    save(root / "music" / "super.song", "new");
    const std::vector<std::string> want = {"Part8/texture.tex.txt", "Part8/.background.svg.swp", "Part8/background.svg",
                                           "music/super.song"};
    EXPECT_EQ(watcher.changes(), want);
    EXPECT_TRUE(watcher.changes().empty()) << "each save is reported once";
}
