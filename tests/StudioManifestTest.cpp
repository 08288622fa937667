// The studio's record of what it built: a data file is used again only when every file its
// build read, the program and the file itself are what was recorded, whatever their times say.

#include "app/StudioManifest.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

TEST(StudioManifest, ReusesAFileOnlyWhenEverythingItsBuildReadIsUnchanged) {
    const fs::path root = fs::path(::testing::TempDir()) / "studio-manifest";
    const fs::path sources = root / "sources", data = root / "data", record = root / "manifest";
    const AssetBuild::Recipe recipe{"Part8/background.pcx", {"Part8/background.svg"}};
    const std::string embedded = "Part8/mine.png", absent = "Part8/later.png";
    struct Case {
        const char* what;
        std::function<void()> change;  // after the build was recorded
        std::uint64_t program;         // at the next start
        bool fresh;
    };
    const auto later = fs::file_time_type::clock::now() + std::chrono::hours(1);
    const Case cases[] = {
        {"nothing changed", [] {}, 1, true},
        {"the sources touched, not changed", [&] { fs::last_write_time(sources / recipe.sources[0], later); }, 1, true},
        {"an embedded file changed, its time put back", [&] {
             const auto time = fs::last_write_time(sources / embedded);
             write(sources / embedded, "other pixels");
             fs::last_write_time(sources / embedded, time);
         }, 1, false},
        {"an embedded file deleted", [&] { fs::remove(sources / embedded); }, 1, false},
        {"a file the build looked for appeared", [&] { write(sources / absent, "new"); }, 1, false},
        {"another program", [] {}, 2, false},
        {"the data file changed", [&] { write(data / recipe.output, "other"); }, 1, false},
        {"the data file at mode 000", [&] { fs::permissions(data / recipe.output, fs::perms::none); }, 1, false},
        {"the data file replaced by a link", [&] {
             write(root / "elsewhere", "made");
             fs::remove(data / recipe.output);
             fs::create_symlink(root / "elsewhere", data / recipe.output);
         }, 1, false},
        {"the record replaced by a link", [&] {
             fs::rename(record, root / "record");
             fs::create_symlink(root / "record", record);
         }, 1, false},
        {"the record is not one", [&] { write(record, "Part8/background.pcx\t0\n"); }, 1, false},
    };
    for (const Case& c : cases) {
        fs::remove_all(root);
        write(sources / recipe.sources[0], "<svg/>");
        write(sources / embedded, "pixels");
        write(data / recipe.output, "made");
        StudioManifest built(record, 1);
        StudioManifest::Digests then(sources);
        built.record(recipe.output,
                     {{recipe.sources[0], then.of(recipe.sources[0])}, {embedded, then.of(embedded)}, {absent, std::nullopt}},
                     data);
        built.save();
        c.change();
        const StudioManifest next(record, c.program);
        StudioManifest::Digests now(sources);
        EXPECT_EQ(next.fresh(recipe, data, now), c.fresh) << c.what;
    }
    fs::remove_all(root);
}

// Names of any bytes survive the record's lines.
TEST(StudioManifest, KeepsAnyNameOnOneLine) {
    for (const std::string name : {"plain.svg", "tab\there.png", "line\nbreak.txt", "100%.txt", "%0A"}) {
        const std::string kept = StudioManifest::escape(name);
        EXPECT_EQ(kept.find_first_of("\t\n"), std::string::npos) << kept;
        EXPECT_EQ(StudioManifest::unescape(kept), name);
    }
}
