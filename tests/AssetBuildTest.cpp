#include "TestImages.h"
#include "tools/AssetBuild.h"
#include "tools/TextureAssembler.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
const fs::path sources = fs::path(TINDREL_SOURCE_DIR) / "assets";

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
} // namespace

TEST(AssetBuild, ASavedSourceRemakesOnlyTheDataMadeFromIt) {
    struct Case {
        const char* source;
        std::vector<std::string> made;
    };
    const Case cases[] = {
        {"Part8/texture.tex.txt", {"Part8/texture.tex"}},
        {"Part9/background.svg", {"Part9/background.pcx"}},
        {"Part3/scroll.svg", {"Part3/scroll.pcx"}},
        {"music/super.song", {"Super.xm"}},
        // An included song is no recipe's: the studio knows it from what the music's build read.
        {"music/patterns.song", {}},
        {"icon.svg", {}},  // the desktop's, not the show's
        {"Part8/notes.txt", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(AssetBuild::madeFrom(sources, c.source), c.made) << c.source;
    // Every data file the show loads has a recipe, and no two make the same file.
    std::vector<std::string> outputs;
    for (const AssetBuild::Recipe& r : AssetBuild::recipes(sources)) outputs.push_back(r.output);
    for (const char* loaded : {"Super.xm", "Part1/logolight.pcx", "Part5/cube.lwo", "Part7/texture.tex", "Part5/gubbe.pcx"})
        EXPECT_EQ(std::count(outputs.begin(), outputs.end(), loaded), 1) << loaded;
}

TEST(AssetBuild, AMistakeNamesTheSourceAndLineAndLeavesTheLastGoodFile) {
    const fs::path copy = TestImages::scratch("asset-sources");
    fs::copy(sources, copy, fs::copy_options::recursive);
    const fs::path out = TestImages::scratch("asset-out");
    AssetBuild::writeOne(copy, out, "Part8/texture.tex");
    const auto good = bytesOf(out / "Part8/texture.tex");

    std::ofstream(copy / "Part8/texture.tex.txt", std::ios::app) << "blurr passes=1\n";
    try {
        AssetBuild::writeOne(copy, out, "Part8/texture.tex");
        ADD_FAILURE() << "a misspelt operation was assembled";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Part8/texture.tex.txt:", 0), 0u) << e.what();
    }
    EXPECT_EQ(bytesOf(out / "Part8/texture.tex"), good);
}

// The generator writes inside its output folder and nowhere else: a link on the way, to a file or
// a folder, is replaced, never written through, and a FIFO at a data file's name never holds it.
TEST(AssetBuild, WritesOnlyInsideItsOutputFolder) {
    const fs::path root = TestImages::scratch("asset-inside");
    const fs::path out = root / "out", elsewhere = root / "elsewhere";
    struct Case {
        const char* what;
        std::function<void()> plant;
    };
    const Case cases[] = {
        {"the data file a link to a file elsewhere",
         [&] { fs::create_symlink(elsewhere / "victim", out / "Part8/texture.tex"); }},
        {"its folder a link to a folder elsewhere", [&] {
             fs::remove_all(out / "Part8");
             fs::create_symlink(elsewhere, out / "Part8");
         }},
        {"a FIFO at the data file's name", [&] { ::mkfifo((out / "Part8/texture.tex").c_str(), 0644); }},
    };
    for (const Case& c : cases) {
        fs::remove_all(root);
        fs::create_directories(out / "Part8");
        fs::create_directories(elsewhere);
        std::ofstream(elsewhere / "victim") << "the victim's file";
        c.plant();
        AssetBuild::writeOne(sources, out, "Part8/texture.tex");
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(out / "Part8/texture.tex"))) << c.what;
        EXPECT_FALSE(fs::is_symlink(fs::symlink_status(out / "Part8"))) << c.what;
        EXPECT_EQ(bytesOf(elsewhere / "victim"), "the victim's file") << c.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere), fs::directory_iterator()), 1) << c.what;
    }
}

TEST(AssetBuild, TexturesAreSizedForWhatReadsThemAndTheOperationsListIsTheDocumented) {
    const fs::path copy = TestImages::scratch("asset-sizes");
    fs::create_directories(copy / "Part8");
    std::ofstream(copy / "Part8/texture.tex.txt") << "# too small for the warp\n\ntexture 128 128\nblur passes=1\n";
    try {
        AssetBuild::make(copy, "Part8/texture.tex");
        ADD_FAILURE() << "a 128 × 128 texture for the wave warp was assembled";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Part8/texture.tex.txt:3: the wave warp reads this texture at 256 × 256", 0), 0u)
            << e.what();
    }
    // A texture of one's own that no effect of the show reads may have any size.
    fs::create_directories(copy / "Mine");
    std::ofstream(copy / "Mine/small.tex.txt") << "texture 16 8\n";
    EXPECT_NO_THROW(AssetBuild::make(copy, "Mine/small.tex"));

    // The page people read is the generator's own list, word for word.
    const std::string page = bytesOf(fs::path(TINDREL_SOURCE_DIR) / "docs/texture-ops.md");
    const auto from = page.find("```\n") + 4;
    EXPECT_EQ(page.substr(from, page.find("```", from) - from), TextureAssembler::operations())
        << "docs/texture-ops.md differs from tindrel-assetgen --list-ops";
}
