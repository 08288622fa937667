// The studio's record of what it built: a data file is used again only when its sources, the
// program and the file itself are what was recorded, whatever their times say.

#include "app/StudioManifest.h"

#include <gtest/gtest.h>

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

TEST(StudioManifest, ReusesAFileOnlyWhenEverythingItCameFromIsUnchanged) {
    const fs::path root = fs::path(::testing::TempDir()) / "studio-manifest";
    const fs::path sources = root / "sources", data = root / "data", record = root / "manifest";
    const AssetBuild::Recipe recipe{"Part8/texture.tex", {"Part8/texture.tex.txt"}};
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
        {"a source changed, its time put back", [&] {
             const auto time = fs::last_write_time(sources / recipe.sources[0]);
             write(sources / recipe.sources[0], "plasma B");
             fs::last_write_time(sources / recipe.sources[0], time);
         }, 1, false},
        {"another program", [] {}, 2, false},
        {"the data file changed", [&] { write(data / recipe.output, "other"); }, 1, false},
        {"the data file replaced by a link", [&] {
             write(root / "elsewhere", "made");
             fs::remove(data / recipe.output);
             fs::create_symlink(root / "elsewhere", data / recipe.output);
         }, 1, false},
        {"the record replaced by a link", [&] {
             fs::rename(record, root / "record");
             fs::create_symlink(root / "record", record);
         }, 1, false},
        {"the record is not one", [&] { write(record, "Part8/texture.tex\t0\t0\n"); }, 1, false},
    };
    for (const Case& c : cases) {
        fs::remove_all(root);
        write(sources / recipe.sources[0], "plasma A");
        write(data / recipe.output, "made");
        StudioManifest built(record, 1);
        built.record(recipe.output, built.keyOf(sources, recipe), data);
        built.save();
        c.change();
        const StudioManifest next(record, c.program);
        EXPECT_EQ(next.fresh(recipe.output, next.keyOf(sources, recipe), data), c.fresh) << c.what;
    }
    fs::remove_all(root);
}
