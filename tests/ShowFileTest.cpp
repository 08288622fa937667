// A show of one's own shape: its show file read and checked, its music timed at any tempo, and
// a three-scene show built from sources, then drawn, captured and exported as its file says.

#include "BuildData.h"
#include "ProgramRun.h"
#include "TestImages.h"
#include "app/CommandLine.h"
#include "app/ContactSheet.h"
#include "app/OfflineRender.h"
#include "app/ShowLoad.h"
#include "app/Subprocess.h"
#include "platform/Module.h"
#include "platform/MusicShape.h"
#include "platform/SteppedMusic.h"
#include "raster/LoadError.h"
#include "show/ShowFile.h"
#include "show/ShowPlan.h"
#include "tools/AssetBuild.h"
#include "tools/SongSource.h"
#include "tools/XmWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// A show of three scenes over a song at 140 bpm with changes of tempo and speed, as its maker
// would write them.
const fs::path fixture = fs::path(TINDREL_SOURCE_DIR) / "tests/data/three-scenes";
std::string song() { return ProgramRun::fileBytes(fixture / "super.song"); }
const std::string threeScenes = ProgramRun::fileBytes(fixture / "show.toml");

std::vector<std::uint8_t> songBytes() { return writeXm(compileSongText(song(), "three.song")); }

// The positions at which a rendering of the module reads a new row, in samples from its start:
// the player reads a row as it renders the row's first sample.
std::vector<std::pair<std::uint32_t, std::int64_t>> renderedRows(Module& module, int rate) {
    std::vector<std::pair<std::uint32_t, std::int64_t>> rows;
    float frame[2];
    std::uint32_t last = 0xFFFFFFFFu;
    std::int64_t rendered = 0;
    for (; module.render(frame, 1, rate) == 1; ++rendered)
        if (module.position() != last) rows.emplace_back(last = module.position(), rendered + 1);
    rows.emplace_back(module.position(), rendered);
    return rows;
}


// The three-scene show's data, built from sources as a creator's are: the program's own sources,
// the show file, the song, and the tunnels' sources again in a folder of their own. Each test
// builds its own, under its own name: tests run side by side.
DataFolder threeScenesData(const std::string& name) {
    const fs::path dir = TestImages::scratch(name);
    const fs::path sources = dir / "sources";
    fs::copy(fs::path(TINDREL_SOURCE_DIR) / "assets", sources, fs::copy_options::recursive);
    write(sources / "show.toml", threeScenes);
    write(sources / "music/super.song", song());
    fs::create_directory(sources / "Encore");
    for (const char* file : {"background.svg", "disco.svg", "texture.tex.txt"})
        fs::copy_file(sources / "Part7" / file, sources / "Encore" / file);
    AssetBuild::buildAll(sources, dir / "data");
    return DataFolder(dir / "data");
}

bool samePixels(const TestImages::Png& png, const Image& image) {
    if (png.width != image.width() || png.height != image.height()) return false;
    for (int y = 0; y < png.height; ++y)
        for (int x = 0; x < png.width; ++x) {
            const Color a = png.at(x, y), b = image.at(x, y);
            if (a.r != b.r || a.g != b.g || a.b != b.b) return false;
        }
    return true;
}

} // namespace

TEST(ShowFile, TheProgramsOwnPlaysItsNineScenesInTurn) {
    const ShowFile& own = ShowFile::shipped();
    EXPECT_EQ(own.windowTitle, "Tindrel application");
    std::vector<int> firsts;
    for (const TimetableRow& row : own.timetable.rows()) firsts.push_back(row.orders.first);
    EXPECT_EQ(firsts, (std::vector<int>{0, 4, 8, 11, 15, 19, 23, 32, 36}));
    // The build reads the file in the sources.
    EXPECT_EQ(ShowFile::shippedText(), ProgramRun::fileBytes(fs::path(TINDREL_SOURCE_DIR) / "assets/show.toml"));
}

TEST(ShowFile, RefusesWhatItCannotPlayAtItsLine) {
    struct Case {
        std::string from, to;  // the base file with from replaced by to
        std::string says;      // how the message starts
    };
    const Case cases[] = {
        {"tunnels-and-cones\"\ntitle", "tunels-and-cones\"\ntitle",
         "show.toml:7: scene 1: no kind of scene \"tunels-and-cones\" (did you mean tunnels-and-cones?); the kinds are "
         "opening, blob-light"},
        {"orders = [2, 3]", "orders = [1, 3]",
         "show.toml:15: scene 2: starts at order 1, but the scene before ends at order 1: scenes may not overlap"},
        {"orders = [2, 3]", "orders = [3, 3]",
         "show.toml:15: scene 2: starts at order 3, but the scene before ends at order 1: every order plays a scene"},
        {"orders = [0, 1]", "orders = [1, 1]", "show.toml:9: scene 1: starts at order 1, but the show starts at order 0"},
        {"orders = [4, 6]", "orders = [5, 4]", "show.toml:20: scene 3: its last order comes before its first"},
        {"orders = [0, 1]", "orders = \"0 to 1\"", "show.toml:9: scene 1: orders is two whole numbers, [FIRST, LAST]"},
        {"title = \"goodbye\"", "titel = \"goodbye\"", "show.toml:14: scene 2: unknown key \"titel\" (did you mean title?)"},
        {"title = \"goodbye\"", "title = \"encore\"", "show.toml:19: scene 3: another scene is titled \"encore\""},
        {"folder = \"Encore\"", "folder = \"../Encore\"",
         "show.toml:21: scene 3: folder \"../Encore\" must name a place inside the data folder"},
        {"moment = [1, 4]", "moment = [2, 4]", "show.toml:10: scene 1: its moment is at order 2, outside its orders 0 to 1"},
        {"music = \"Song.xm\"\n", "", "show.toml: needs music"},
        {"author", "[author", "show.toml:2: "},
        {"title = \"Three Scenes\"", "title = \"Three Scenes\"\nlength = 3", "show.toml:2: unknown key \"length\""},
    };
    for (const Case& c : cases) {
        std::string text = threeScenes;
        ASSERT_NE(text.find(c.from), std::string::npos) << c.from;
        text.replace(text.find(c.from), c.from.size(), c.to);
        try {
            ShowFile::parse(text);
            ADD_FAILURE() << c.to << " was taken";
        } catch (const LoadError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.says, 0), 0u) << e.what();
        }
    }
}

TEST(ShowFile, ItsScenesLieInItsSongAndTheirFilesInItsData) {
    const ShowFile file = ShowFile::parse(threeScenes);
    try {
        ShowPlan(DataFolder(), file, MusicShape::steady({16, 16, 16, 16, 16}, 0.1));
        ADD_FAILURE() << "a scene past the song's end was taken";
    } catch (const LoadError& e) {
        EXPECT_STREQ(e.what(),
                     "show.toml:17: scene \"encore\": its orders 4 to 6 lie outside the song, whose orders are 0 to 4");
    }
    const ShowPlan empty(DataFolder(TestImages::scratch("no-data")), file, MusicShape::steady(std::vector<int>(7, 16), 0.1));
    try {
        empty.checkFiles();
        ADD_FAILURE() << "a folder without the scene's files was taken";
    } catch (const LoadError& e) {
        EXPECT_STREQ(e.what(), "show.toml:6: scene \"the tunnels\": a tunnels-and-cones scene reads Part7/background.pcx, "
                               "which the data folder does not have");
    }
}

// Where play reaches each row, against the player rendering the module sample by sample, at two
// rates and at tempos whose ticks are no whole number of samples.
TEST(MusicShape, ReachesEachRowAtTheSampleThePlayerDoes) {
    const std::vector<std::uint8_t> bytes = songBytes();
    for (const int rate : {44100, 48000}) {
        Module module("three.xm", bytes);
        const MusicShape shape = module.shape(rate);
        ASSERT_EQ(shape.orderCount(), 7);
        const auto rendered = renderedRows(module, rate);
        ASSERT_EQ(rendered.size(), 7u * 16 + 1) << rate;
        for (const auto& [position, sample] : rendered) {
            if (position == Module::endPosition) {
                EXPECT_EQ(shape.endSample(), sample) << rate;
                continue;
            }
            const int order = Music::orderOf(position), row = Music::rowOf(position);
            // Read as the row's first sample is rendered.
            EXPECT_EQ(shape.reachedAt(order, row) + 1, sample) << rate << " Hz, order " << order << " row " << row;
        }
    }
}

TEST(MusicShape, AnOrderPlayPassesByIsNoPlaceToGo) {
    XmModule song = compileSongText(::song(), "three.song");
    // Order 0's last row jumps to order 2.
    XmPattern jumping = song.patterns[static_cast<std::size_t>(song.orders[0])];
    jumping.at(15, 1).effect = 0xB;
    jumping.at(15, 1).param = 2;
    song.patterns.push_back(jumping);
    song.orders[0] = static_cast<int>(song.patterns.size()) - 1;
    const fs::path dir = TestImages::scratch("passed-by");
    fs::copy(TINDREL_BUILD_DATA_DIR, dir, fs::copy_options::recursive);
    writeBytes(dir / "Super.xm", writeXm(song));
    fs::remove(dir / "show.toml");

    const MusicShape shape = MusicShape::load(DataFolder(dir), "Super.xm");
    EXPECT_TRUE(shape.reaches(0) && shape.reaches(2));
    EXPECT_FALSE(shape.reaches(1));
    EXPECT_EQ(shape.sampleAt(1, 0), shape.sampleAt(2, 0));
    const ShowPlan show = ShowLoad::load(DataFolder(dir));
    EXPECT_THROW(ShowLoad::range(CommandLine::parse({"--from", "1"}), show), ShowLoad::OutOfRange);
    const auto refused = ProgramRun::tindrel(dir, "still 1 0 f.png");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(ProgramRun::fileBytes(dir / "stderr.txt"), "tindrel: order 1 is never played: the song passes it by\n");
}

// A capture reads the row whose sound begins at its frame's time, as the shape says play does.
TEST(SteppedMusic, ReadsARowFromItsFirstSample) {
    const std::vector<std::uint8_t> bytes = songBytes();
    const MusicShape shape = Module("three.xm", bytes).shape();
    for (const auto& [order, row] : {std::pair{0, 1}, std::pair{3, 9}, std::pair{4, 1}}) {
        const double start = shape.secondsAt(order, row);
        for (const auto& [at, reads] : {std::pair{start - 1.0 / Module::sampleRate, false}, std::pair{start, true}}) {
            SteppedMusic music(std::make_unique<Module>("three.xm", bytes), shape);
            music.play();
            music.advanceTo(at);
            EXPECT_EQ(music.position() == Music::pack(order, row), reads) << order << ':' << row << " at " << at;
        }
    }
}

TEST(ThreeScenes, PlayAsTheirShowFileSays) {
    const DataFolder data = threeScenesData("three-scenes-play");
    const ShowPlan show = ShowLoad::load(data);
    ASSERT_EQ(show.timetable().size(), 3u);
    EXPECT_EQ(show.timetable().titles(), "the tunnels, goodbye, encore");

    // The sheet: three cells under the show's title, one a scene.
    const auto sheet = ContactSheet::make(show);
    EXPECT_EQ(sheet->width(), 2 * 300 + 3 * 12);
    EXPECT_EQ(sheet->height(), 44 + 2 * (150 + 24) + 2 * 12);

    // A still at each scene's first row is the captured frame at the time play reaches it.
    const fs::path out = TestImages::scratch("three-scenes-capture");
    OfflineRender::CaptureOptions o;
    o.directory = out;
    o.fps = 30;
    o.progress = false;
    const int frames = OfflineRender::capture(show, o).frames;
    EXPECT_EQ(frames, static_cast<int>(std::ceil(show.shape.endSeconds() * 30)));
    for (const TimetableRow& scene : show.timetable().rows()) {
        const double reached = show.shape.secondsAt(scene.orders.first, 0);
        const int frame = static_cast<int>(std::ceil(reached * 30 - 1e-9));
        int order = 0, row = 0;
        show.shape.rowAt(frame / 30.0, order, row);
        ASSERT_TRUE(order == scene.orders.first && row == 0) << scene.title;
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame);
        const auto still = OfflineRender::still(show, order, row, frame / 30.0);
        ASSERT_TRUE(still) << scene.title;
        EXPECT_TRUE(samePixels(TestImages::readPng(out / name), *still)) << scene.title << ", " << name;
    }

    // The titles the shell's completion offers, and --from a title, as the program takes them.
    const std::string dataOption = "--data '" + data.root().string() + "'";
    EXPECT_EQ(ProgramRun::tindrel(TestImages::scratch("three-scenes-list"), "--list-scenes " + dataOption).out,
              "the tunnels\ngoodbye\nencore\n");
    const fs::path from = TestImages::scratch("three-scenes-from");
    const auto encore = ProgramRun::tindrel(from, "capture part --from encore --fps 5 " + dataOption);
    EXPECT_EQ(encore.status, 0) << ProgramRun::fileBytes(from / "stderr.txt");
    const double length = show.shape.endSeconds() - show.shape.secondsAt(4, 0);
    int captured = 0;
    for (const auto& entry : fs::directory_iterator(from / "part")) captured += entry.path().extension() == ".png";
    EXPECT_EQ(captured, static_cast<int>(std::ceil(length * 5))) << "frames from the encore's start to the end";
}

// An exported video has a chapter for each scene, under its title, in either container.
TEST(ThreeScenes, VideosHaveTheirScenesAsChapters) {
    if (!Subprocess::available("ffmpeg") || !Subprocess::available("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
    const ShowPlan show = ShowLoad::load(threeScenesData("three-scenes-video"));
    for (const char* name : {"three.mp4", "three.webm"}) {
        const fs::path dir = TestImages::scratch("three-scenes-exported");
        OfflineRender::CaptureOptions o;
        o.directory = dir;
        o.video = dir / name;
        o.videoCodec = OfflineRender::isWebm(o.video) ? "vp9" : "h264";
        o.fps = 10;
        o.progress = false;
        OfflineRender::capture(show, o);
        const std::string cmd = "ffprobe -v error -show_chapters -of csv=p=0 '" + o.video.string() + "'";
        FILE* pipe = popen(cmd.c_str(), "r");
        ASSERT_TRUE(pipe);
        std::string listing;
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) listing += buffer;
        pclose(pipe);
        // id, time base, start, start time, end, end time, title.
        std::vector<std::string> titles;
        for (std::size_t at = 0; at < listing.size();) {
            const std::size_t end = listing.find('\n', at);
            const std::string line = listing.substr(at, end - at);
            titles.push_back(line.substr(line.rfind(',') + 1));
            at = end == std::string::npos ? listing.size() : end + 1;
        }
        EXPECT_EQ(titles, (std::vector<std::string>{"the tunnels", "goodbye", "encore"})) << name << ":\n" << listing;
    }
}
