// Sources from someone else, tried as an attacker would: every build step ends in a bounded
// time with a message naming the file, reads nothing outside the sources and shows nothing of a
// file it refused, and a capture removes only what captures make.
#include "TestImages.h"
#include "app/CaptureFolder.h"
#include "tools/AssetBuild.h"
#include "tools/SongSource.h"
#include "tools/SvgPicture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path assets = fs::path(TINDREL_SOURCE_DIR) / "assets";

void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A song of one instrument and one pattern, instrument lines and extra statements given.
std::string song(const std::string& instrument, const std::string& before = "") {
    return "song t\nchannels 2\n" + before + "instrument 01 x\n" + instrument + "end\npattern a\n00 | C-4 01 ... ... |\nend\norder a\n";
}

} // namespace

TEST(SourceAttacks, EveryBuildStepIsBoundedAndSaysWhichFile) {
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> make;  // the fixture, in the sources folder
        std::function<void(const fs::path&)> build;  // throws the message
        const char* message;                         // a part of it
        const char* never;                           // nothing of a refused file shows
        double seconds;                              // a generous bound
    };
    const auto compile = [](const fs::path& src) { compileSong(src / "music/super.song"); };
    const auto recipes = [](const fs::path& src) {
        AssetBuild::recipes(src);
        throw std::runtime_error("the walk went on");
    };
    const Case cases[] = {
        {"an instrument of hours", [](const fs::path& s) { write(s / "music/super.song", song("  length 30\n  saw hz 0.01\n")); },
         compile, "super.song:6: instrument x: synthesis would take 1587601200000 partial-samples", nullptr, 2},
        {"a song of many instruments, each inside",
         [](const fs::path& s) {
             std::string text = "song t\nchannels 2\n";
             for (int i = 1; i <= 6; ++i) text += "instrument 0" + std::to_string(i) + " x\n  length 30\n  saw hz 80\nend\n";
             write(s / "music/super.song", text + "pattern a\n00 | C-4 01 ... ... |\nend\norder a\n");
         },
         compile, "super.song:26: the song's instruments come to 1190700900", nullptr, 2},
        {"an include of /etc/passwd", [](const fs::path& s) { write(s / "music/super.song", song("", "include /etc/passwd\n")); },
         compile, "super.song:3: include \"/etc/passwd\" is outside the song's folder", "root", 1},
        {"an include climbing out",
         [](const fs::path& s) { write(s / "music/super.song", song("", "include ../../../../../../../etc/passwd\n")); },
         compile, "is outside the song's folder", "root", 1},
        {"a link in music/ to a device",
         [](const fs::path& s) {
             write(s / "music/super.song", song("", "include zero.song\n"));
             fs::create_symlink("/dev/zero", s / "music/zero.song");
         },
         compile, "include \"zero.song\" is outside the song's folder", nullptr, 1},
        {"an include of a FIFO",
         [](const fs::path& s) {
             write(s / "music/super.song", song("", "include pipe.song\n"));
             ::mkfifo((s / "music/pipe.song").c_str(), 0600);
         },
         compile, "include \"pipe.song\" is not a regular file", nullptr, 1},
        {"a fan-out of includes",
         [](const fs::path& s) {
             for (int i = 0; i < 8; ++i) {
                 std::string text;
                 for (int k = 0; k < 10; ++k) text += "include f" + std::to_string(i + 1) + ".song\n";
                 write(s / ("music/f" + std::to_string(i) + ".song"), i == 7 ? "# the last\n" : text);
             }
             write(s / "music/super.song", song("", "include f0.song\n"));
         },
         compile, "more than 256 includes in all", nullptr, 2},
        {"an include too large",
         [](const fs::path& s) {
             write(s / "music/super.song", song("", "include big.song\n"));
             write(s / "music/big.song", std::string((9u << 20), '#'));
         },
         compile, "include big.song: larger than 8 MiB", nullptr, 2},
        {"a picture of endless octaves",
         [](const fs::path& s) {
             write(s / "p.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='600' height='300'><filter id='f'>"
                                "<feTurbulence baseFrequency='0.05' numOctaves='100000'/></filter>"
                                "<rect width='600' height='300' filter='url(#f)'/></svg>");
         },
         [](const fs::path& s) { renderPicture({"p.pcx", 600, 300, "p.svg"}, s); },
         "p.svg: drawing it takes more than 5 s of processor time", nullptr, 40},
        {"a texture program the show needs, gone",
         [](const fs::path& s) {
             fs::copy(assets, s, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
             fs::remove(s / "Part8/texture.tex.txt");
         },
         [](const fs::path& s) { AssetBuild::buildAll(s, s.parent_path() / "out"); },
         "Part8/texture.tex.txt: missing; the show needs Part8/texture.tex", nullptr, 5},
        {"a symbolic link loop and a link out",
         [](const fs::path& s) {
             write(s / "Part8/texture.tex.txt", "size 256 256\n");
             fs::create_directories(s / "loop");
             fs::create_symlink("a.tex.txt", s / "loop/b.tex.txt");
             fs::create_symlink("b.tex.txt", s / "loop/a.tex.txt");
             fs::create_directories(s / "Part7");
             fs::create_symlink("/etc/passwd", s / "Part7/texture.tex.txt");
         },
         recipes, "the walk went on", nullptr, 2},
    };
    for (const Case& c : cases) {
        const fs::path dir = TestImages::scratch("attack");
        const fs::path src = dir / "src";
        fs::create_directories(src);
        c.make(src);
        testing::internal::CaptureStderr();
        const auto start = std::chrono::steady_clock::now();
        std::string message = "no error";
        try {
            c.build(src);
        } catch (const std::exception& e) {
            message = e.what();
        }
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
        if (c.never) {
            EXPECT_EQ((message + said).find(c.never), std::string::npos) << c.name << ": " << message << said;
        }
        EXPECT_LT(took, c.seconds) << c.name;
        EXPECT_FALSE(fs::exists(dir / "out")) << c.name << ": wrote data while refusing";
        if (std::string(c.name).starts_with("a symbolic link")) {
            EXPECT_NE(said.find("loop/a.tex.txt: a symbolic link that leads nowhere"), std::string::npos) << said;
            EXPECT_NE(said.find("Part7/texture.tex.txt: a symbolic link out of the sources"), std::string::npos) << said;
        }
    }
}

// Only frame-NNNNNN.png, music.wav and the half-written files of a dead capture ever go, and
// nothing goes when the capture is refused.
TEST(SourceAttacks, ACaptureRemovesOnlyWhatCapturesMake) {
    struct Case {
        bool overwrite;
        bool refused;
        std::vector<std::string> gone;
    };
    const std::vector<std::string> files = {"frame-000001.png", "frame-holiday.png", "music.wav",
                                            "music.wav.partial-mine", "music.wav.partial-99999999-0",
                                            "frame-000002.png.partial-99999999-3", "notes.txt"};
    const Case cases[] = {
        {false, true, {}},
        {true, false, {"frame-000001.png", "music.wav", "music.wav.partial-99999999-0", "frame-000002.png.partial-99999999-3"}},
    };
    for (const Case& c : cases) {
        const fs::path dir = TestImages::scratch("capture-folder");
        for (const std::string& f : files) write(dir / f, "mine");
        bool refused = false;
        try {
            CaptureFolder::clearEarlier(dir, c.overwrite);
        } catch (const std::runtime_error&) {
            refused = true;
        }
        EXPECT_EQ(refused, c.refused);
        for (const std::string& f : files) {
            const bool gone = std::find(c.gone.begin(), c.gone.end(), f) != c.gone.end();
            EXPECT_EQ(fs::exists(dir / f), !gone) << f << (c.overwrite ? " with" : " without") << " --overwrite";
        }
    }
    // A partial file of a process still running is its own.
    long pid = 0;
    EXPECT_TRUE(CaptureFolder::isPartialOf("frame-000001.png.partial-" + std::to_string(::getpid()) + "-0", pid));
}
