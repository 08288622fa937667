// The studio's cache is never stale: a data file is built again when anything its build read
// changes or goes, as the studio runs (the files a save makes it build) and at its next start
// (what it takes as built before); and a cache file that is not a regular file of ours is
// replaced, never opened. Each case builds through the studio's own build child.

#include "TestImages.h"
#include "app/StudioWork.h"
#include "platform/SourceFiles.h"
#include "raster/Image.h"
#include "raster/PngWriter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

void append(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::app) << text; }

void replaceIn(const fs::path& path, const std::string& from, const std::string& to) {
    std::ifstream in(path, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), {}};
    in.close();
    text.replace(text.find(from), from.size(), to);
    std::ofstream(path, std::ios::binary) << text;
}

void png(const fs::path& path, Color colour) {
    Image image(8, 8);
    for (std::size_t i = 0; i < image.pixelCount(); ++i) image.pixels()[i] = colour;
    PngWriter::write(path, image);
}

// A picture that embeds a PNG and includes a caption from a text file beside it.
void embedAndInclude(const fs::path& sources) {
    png(sources / "Part8/mine.png", Color(200, 30, 30, 255));
    std::ofstream(sources / "Part8/caption.txt") << "first caption";
    replaceIn(sources / "Part8/background.svg", "</svg>",
              "<image href=\"mine.png\" x=\"0\" y=\"0\" width=\"300\" height=\"150\"/>"
              "<text x=\"20\" y=\"200\" font-size=\"40\" fill=\"#fff\"><xi:include "
              "xmlns:xi=\"http://www.w3.org/2001/XInclude\" href=\"caption.txt\" parse=\"text\"/></text></svg>");
}

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace

TEST(StudioFresh, AnythingABuildReadRebuildsItAndTheCacheHeals) {
    const fs::path root = TestImages::scratch("studio-fresh");
    const fs::path sources = root / "sources", cache = root / "cache", outside = root / "outside";
    struct Case {
        const char* what;
        std::string output;
        std::function<void()> before;  // the sources as first built
        std::function<void()> change;  // then, the studio running or closed
        std::string saved;             // what the running studio's watch reports; empty: none
    };
    const Case cases[] = {
        {"an embedded PNG changed", "Part8/background.pcx", [&] { embedAndInclude(sources); },
         [&] { png(sources / "Part8/mine.png", Color(30, 200, 30, 255)); }, "Part8/mine.png"},
        {"an included text changed", "Part8/background.pcx", [&] { embedAndInclude(sources); },
         [&] { std::ofstream(sources / "Part8/caption.txt") << "second caption"; }, "Part8/caption.txt"},
        {"an object's source deleted", "Part4/star.lwo",
         [&] {
             std::ofstream(sources / "Part4/star.lwo.txt")
                 << "surface Red 255 0 0\npoint 0 0 0\npoint 1 0 0\npoint 0 1 0\ntriangle 0 1 2 Red\n";
         },
         [&] { fs::remove(sources / "Part4/star.lwo.txt"); }, "Part4/star.lwo.txt"},
        {"an included song changed", "Super.xm", [] {},
         [&] { append(sources / "music/patterns.song", "pattern more 64\n08 | C-4 01 ... ... | | | | | | | | | | | | |\nend\n"); },
         "music/patterns.song"},
        {"a FIFO at the cached file", "Part8/texture.tex", [] {},
         [&] {
             fs::remove(cache / "Part8/texture.tex");
             ::mkfifo((cache / "Part8/texture.tex").c_str(), 0600);
         },
         ""},
        {"the cached file at mode 000", "Part8/texture.tex", [] {},
         [&] { fs::permissions(cache / "Part8/texture.tex", fs::perms::none); }, ""},
        {"the cached file a link", "Part8/texture.tex", [] {},
         [&] {
             std::ofstream(root / "victim") << "the victim's file";
             fs::remove(cache / "Part8/texture.tex");
             fs::create_symlink(root / "victim", cache / "Part8/texture.tex");
         },
         ""},
    };
    for (const Case& c : cases) {
        fs::remove_all(root);
        fs::create_directories(root);
        fs::copy(fs::path(TINDREL_SOURCE_DIR) / "assets", sources, fs::copy_options::recursive);
        c.before();
        StudioManifest manifest(root / "manifest", 1);
        StudioBuilder builder(sources, cache, manifest);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        const auto late = [&] { return std::chrono::steady_clock::now() > deadline; };
        const auto build = [&] { return builder.build({c.output}, late, {}, TINDREL_BINARY); };
        ASSERT_TRUE(contains(build().made, c.output)) << c.what;
        c.change();

        const std::vector<AssetBuild::Recipe> recipes = AssetBuild::recipes(sources);
        const auto recipe = std::find_if(recipes.begin(), recipes.end(), [&](const auto& r) { return r.output == c.output; });
        ASSERT_NE(recipe, recipes.end()) << c.what;
        if (!c.saved.empty()) {
            EXPECT_TRUE(contains(affected({c.saved}, recipes, manifest), c.output)) << c.what;
        }
        // The next start: read again from the record on disk.
        const StudioManifest next(root / "manifest", 1);
        StudioManifest::Digests now(sources);
        EXPECT_FALSE(next.fresh(*recipe, cache, now)) << c.what << ": taken as built before";

        ASSERT_TRUE(contains(build().made, c.output)) << c.what << ": not built again";
        struct stat made {};
        ASSERT_EQ(::lstat((cache / c.output).c_str(), &made), 0);
        EXPECT_TRUE(S_ISREG(made.st_mode) && (made.st_mode & 0600) == 0600) << c.what;
        StudioManifest::Digests after(sources);
        EXPECT_TRUE(manifest.fresh(*recipe, cache, after)) << c.what << ": not taken as built after its build";
    }
    fs::remove_all(root);
}

// A folder of the sources that is a link is refused by the build as by the walk, in the same words.
TEST(StudioFresh, ALinkedFolderIsRefusedAlikeByTheWalkAndTheBuild) {
    const fs::path root = TestImages::scratch("studio-linked");
    const fs::path sources = root / "sources", cache = root / "cache";
    fs::copy(fs::path(TINDREL_SOURCE_DIR) / "assets", sources, fs::copy_options::recursive);
    fs::rename(sources / "music", root / "music");
    fs::create_directory_symlink(root / "music", sources / "music");
    std::vector<std::string> warned;
    SourceFiles::walk(sources, [](const std::string&) {}, [&](const std::string& w) { warned.push_back(w); });
    const std::string refusal = "music: a symbolic link to a folder; not followed";
    EXPECT_EQ(warned, std::vector<std::string>{refusal});
    StudioManifest manifest(root / "manifest", 1);
    StudioBuilder builder(sources, cache, manifest);
    const auto result = builder.build({"Super.xm"}, [] { return false; }, {}, TINDREL_BINARY);
    EXPECT_EQ(result.failed.count("Super.xm") ? result.failed.at("Super.xm") : "built", refusal);
    EXPECT_FALSE(fs::exists(cache / "Super.xm"));
    // Its files are still known, so the one that fixes it, or an edit to it, builds again.
    EXPECT_TRUE(contains(manifest.readers("music/super.song"), "Super.xm"));
    fs::remove_all(root);
}

// The build's child is owned: whatever ends the wait early, it is killed and reaped, and no
// descriptor of its pipe is left open.
TEST(StudioFresh, ABuildLeftByAnExceptionLeavesNoChildNorDescriptor) {
    const fs::path root = TestImages::scratch("studio-owned");
    const auto open = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()); };
    const auto before = open();
    EXPECT_THROW(StudioBuild::run(fs::path(TINDREL_SOURCE_DIR) / "assets", root / "cache", {"Part8/texture.tex", "Super.xm"},
                                  [] { return false; },
                                  [](const std::string&, const std::string&, std::vector<StudioManifest::Read>) {
                                      throw std::runtime_error("the show went away");
                                  },
                                  TINDREL_BINARY),
                 std::runtime_error);
    EXPECT_EQ(open(), before);
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "a child was left unreaped";
    fs::remove_all(root);
}

// A file read from outside the sources (a font, the renderer's settings) is watched as the
// sources are, and named by its absolute path, as the record names it.
TEST(StudioFresh, FilesReadOutsideTheSourcesAreWatchedToo) {
    const fs::path root = TestImages::scratch("studio-outside");
    fs::create_directories(root / "sources");
    fs::create_directories(root / "fonts");
    StudioWatch eye(root / "sources");
    eye.outside({root / "fonts"});
    std::ofstream(root / "fonts/face.ttf") << "a new face";
    std::vector<std::string> seen;
    for (int i = 0; i < 50 && seen.empty(); ++i) {
        StudioWatch::Notices notices;
        seen = eye.look(notices);
        if (seen.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(seen, std::vector<std::string>{(root / "fonts/face.ttf").string()});
    fs::remove_all(root);
}
