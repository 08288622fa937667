// The real binary, end to end: what a user types and what comes back.

#include "BuildData.h"
#include "ProgramRun.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace fs = std::filesystem;

namespace {

using ProgramRun::dataCopy;
using ProgramRun::fileBytes;
using ProgramRun::Outcome;
using ProgramRun::tindrel;

} // namespace

TEST(Program, StillWritesTheClosingFlashAndFade) {
    const fs::path dir = TestImages::scratch("still");
    ASSERT_EQ(tindrel(dir, "still 36 0 0 white.png --rgba").status, 0);
    const auto white = TestImages::readPng(dir / "white.png");
    ASSERT_TRUE(white.hasAlpha);
    ASSERT_EQ(white.width * white.height, 600 * 300);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 600; ++x) ASSERT_EQ(white.at(x, y), Color(255, 255, 255, 0)) << x << ',' << y;

    ASSERT_EQ(tindrel(dir, "still 36 32 0 half.png").status, 0);
    const auto half = TestImages::readPng(dir / "half.png");
    EXPECT_FALSE(half.hasAlpha);
    const auto picture = Image::load(buildData(), "Part9/background.pcx");
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 600; ++x) {
            const Color c = picture->at(x, y);
            ASSERT_EQ(half.at(x, y), Color(c.r / 2, c.g / 2, c.b / 2, 255)) << x << ',' << y;
        }
}

// Without SECONDS the clock reads what the music's own timing gives the position: 778 rows of
// 0.12 s at order 12, row 10.
TEST(Program, StillTakesTheMusicsTimeWhenNotGiven) {
    const fs::path dir = TestImages::scratch("untimed");
    ASSERT_EQ(tindrel(dir, "still 12 10 untimed.png").status, 0);
    ASSERT_EQ(tindrel(dir, "still 12 10 93.36 timed.png").status, 0);
    const std::string untimed = fileBytes(dir / "untimed.png");
    EXPECT_FALSE(untimed.empty());
    EXPECT_TRUE(untimed == fileBytes(dir / "timed.png"));
}

// Positions the music does not have are the user's mistake, said in one line, and nothing is
// drawn or played.
TEST(Program, RefusesPositionsPastTheMusic) {
    struct Case {
        const char* command;
        const char* message;
    };
    const Case cases[] = {
        {"still 37 0 0 f.png", "tindrel: order 37 is past the song's end; its orders are 0 to 36\n"},
        {"still 37 0 f.png", "tindrel: order 37 is past the song's end; its orders are 0 to 36\n"},
        {"still 36 64 f.png", "tindrel: row 64 is past the end of order 36, whose rows are 0 to 63\n"},
        // Every way --from or --to can miss the song is said in one form.
        {"--from 37 --window", "tindrel: --from \"37\" is no place in the show; the song's orders are 0 to 36 and it is 4:44 long\n"},
        {"capture out --from 300", "tindrel: --from \"300\" is no place in the show; the song's orders are 0 to 36 and it is 4:44 long\n"},
        {"capture out --from 4:45", "tindrel: --from \"4:45\" is no place in the show; the song's orders are 0 to 36 and it is 4:44 long\n"},
        {"capture out --from 36 --to 37", "tindrel: --to \"37\" is no place in the show; the song's orders are 0 to 36 and it is 4:44 long\n"},
    };
    const fs::path dir = TestImages::scratch("ranges");
    for (const Case& c : cases) {
        const Outcome o = tindrel(dir, c.command);
        EXPECT_EQ(o.status, 2) << c.command;
        EXPECT_EQ(o.out, "") << c.command;
        EXPECT_EQ(fileBytes(dir / "stderr.txt"), c.message) << c.command;
        EXPECT_FALSE(fs::exists(dir / "f.png")) << c.command;
        EXPECT_FALSE(fs::exists(dir / "out")) << c.command;
    }
}

TEST(Program, CaptureIsFrameExactAndRepeatable) {
    const fs::path dir = TestImages::scratch("capture");
    ASSERT_EQ(tindrel(dir, "capture one --from 36 --to 36 --fps 5").status, 0);
    ASSERT_EQ(tindrel(dir, "capture two --from 36 --to 36 --fps 5").status, 0);

    int frames = 0;
    for (const auto& entry : fs::directory_iterator(dir / "one")) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(fileBytes(entry.path()), fileBytes(dir / "two" / name)) << name;
        frames += name.starts_with("frame-");
    }
    // Order 36 lasts 7.68 s: frames at 0, 0.2, ... 7.6 s, then the music has moved on.
    EXPECT_EQ(frames, 39);
    EXPECT_EQ(TestImages::readPng(dir / "one/frame-000000.png").at(0, 0), Color(255, 255, 255, 255));
    // 39 frames of 0.2 s of 16-bit stereo at 44100 Hz, after a 44-byte header.
    EXPECT_EQ(fs::file_size(dir / "one/music.wav"), 44u + 39u * 8820u * 4u);
}

// The vector paths are an optimisation only: with the plain loops forced, one frame of every
// scene comes out the same, byte for byte.
TEST(Program, ThePlainLoopsDrawTheSameShow) {
    const fs::path dir = TestImages::scratch("reference");
    ASSERT_EQ(tindrel(dir, "sheet chosen.png").status, 0);
    ASSERT_EQ(tindrel(dir, "sheet plain.png", "TINDREL_REFERENCE=1").status, 0);
    const std::string chosen = fileBytes(dir / "chosen.png");
    EXPECT_FALSE(chosen.empty());
    EXPECT_TRUE(chosen == fileBytes(dir / "plain.png"));
}

TEST(Program, LoadErrorsPrintTheNameAndEndWith255) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& data)> breakIt;
        const char* command;
        const char* message;
    };
    const Case cases[] = {
        {"missing picture", [](const fs::path& d) { fs::remove(d / "Part9/background.pcx"); }, "still 36 0 0 f.png",
         "Part9/background.pcx: Could not open file\n"},
        {"broken picture", [](const fs::path& d) { fs::resize_file(d / "Part9/background.pcx", 100); },
         "still 36 0 0 f.png", "Part9/background.pcx: Error reading from file\n"},
        {"missing module", [](const fs::path& d) { fs::remove(d / "Super.xm"); }, "capture out --from 36",
         "Super.xm: Could not open file\n"},
        // A folder without a show is named, with the way to name the right one.
        {"no folder", [](const fs::path& d) { fs::remove_all(d); }, "sheet s.png",
         "show.toml: the data folder data does not exist; name the show's data folder with --data DIR\n"},
        {"no show", [](const fs::path& d) { fs::remove(d / "Super.xm"), fs::remove(d / "show.toml"); }, "still 36 0 f.png",
         "show.toml: no show in the data folder data; name the show's data folder with --data DIR\n"},
        {"garbage module", [](const fs::path& d) { std::ofstream(d / "Super.xm") << "not music at all"; },
         "capture out --from 36", "Super.xm: Not a supported module file\n"},
    };
    for (const Case& c : cases) {
        const fs::path dir = dataCopy("errors");
        c.breakIt(dir / "data");
        const Outcome o = tindrel(dir, c.command + std::string(" --data data"));
        EXPECT_EQ(o.out, c.message) << c.what;
        EXPECT_EQ(o.status, 255) << c.what;
        EXPECT_FALSE(fs::exists(dir / "f.png")) << c.what;
    }
}

TEST(Program, WithoutADisplayNothingStarts) {
    const fs::path dir = TestImages::scratch("nodisplay");
    const Outcome o = tindrel(dir, "--window", "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(fileBytes(dir / "stderr.txt").find("display"), std::string::npos);
}

TEST(Program, AnswersHelpVersionAndBadArguments) {
    const fs::path dir = TestImages::scratch("help");
    struct Help {
        const char* command;
        const char* shows;
    };
    const Help helps[] = {
        {"--help", "tindrel still ORDER ROW [SECONDS] OUT.png"}, {"--help", "PageDown"},
        {"still --help", "usage: tindrel still"},                {"help still", "usage: tindrel still"},
        {"capture --help", "usage: tindrel capture"},            {"sheet --help", "usage: tindrel sheet"},
        {"convert --help", "usage: tindrel convert"},            {"play --help", "usage: tindrel [play]"},
    };
    for (const Help& h : helps) {
        const Outcome o = tindrel(dir, h.command);
        EXPECT_EQ(o.status, 0) << h.command;
        EXPECT_NE(o.out.find(h.shows), std::string::npos) << h.command;
    }
    EXPECT_EQ(tindrel(dir, "--version").out.rfind("tindrel ", 0), 0u);

    // A mistake is one line of what is wrong and where to look, not the whole help.
    for (const char* bad : {"--bogus", "capture out --rgba", "still 36 0 f.png --loop", "sheet s.png --fps 30"}) {
        const Outcome o = tindrel(dir, bad);
        EXPECT_EQ(o.status, 2) << bad;
        EXPECT_EQ(o.out, "") << bad;
        const std::string err = fileBytes(dir / "stderr.txt");
        EXPECT_TRUE(err.starts_with("tindrel: ")) << err;
        EXPECT_TRUE(err.ends_with("\nsee tindrel --help\n")) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    }
    EXPECT_EQ(tindrel(dir, "--list-scenes").out.find("the opening\nblob light\n"), 0u);
}

// What the user names comes first: a Super.xm that happens to be in the working directory only
// counts without --data.
TEST(Program, DataGivenWinsOverTheWorkingDirectory) {
    const fs::path dir = TestImages::scratch("datawins");
    std::ofstream(dir / "Super.xm") << "not music at all";
    EXPECT_EQ(tindrel(dir, "still 36 0 0 f.png --data '" TINDREL_BUILD_DATA_DIR "'").status, 0);
    EXPECT_TRUE(fs::exists(dir / "f.png"));
    const Outcome here = tindrel(dir, "still 36 0 0 g.png");
    EXPECT_EQ(here.out, "Super.xm: Not a supported module file\n");
    EXPECT_EQ(here.status, 255);
}

TEST(Program, SheetShowsTheNineScenes) {
    const fs::path dir = TestImages::scratch("sheet");
    ASSERT_EQ(tindrel(dir, "sheet one.png").status, 0);
    ASSERT_EQ(tindrel(dir, "sheet two.png").status, 0);
    EXPECT_EQ(fileBytes(dir / "one.png"), fileBytes(dir / "two.png"));
    const auto sheet = TestImages::readPng(dir / "one.png");
    ASSERT_EQ(sheet.width, 948);
    ASSERT_EQ(sheet.height, 602);
    // Its header and cells as the show file gives them, pixel for pixel.
    Image pixels(sheet.width, sheet.height);
    for (int y = 0; y < sheet.height; ++y)
        for (int x = 0; x < sheet.width; ++x) pixels.at(x, y) = sheet.at(x, y);
    EXPECT_EQ(TestImages::hex(TestImages::checksum(pixels)), "0xbce8c3ac");
}

// Frames of two captures in one folder would pass for one capture.
TEST(Program, CaptureReplacesAnEarlierOneOnlyWhenAsked) {
    const fs::path dir = TestImages::scratch("again");
    ASSERT_EQ(tindrel(dir, "capture out --from 36 --to 36 --fps 2").status, 0);
    const auto count = [&] {
        int frames = 0;
        for (const auto& entry : fs::directory_iterator(dir / "out"))
            frames += entry.path().filename().string().starts_with("frame-");
        return frames;
    };
    ASSERT_EQ(count(), 16);
    const std::string music = fileBytes(dir / "out/music.wav");

    for (const char* again : {"capture out --from 36 --to 36 --fps 1", "capture out --from 36 --audio-only"}) {
        const Outcome refused = tindrel(dir, again);
        EXPECT_EQ(refused.status, 1) << again;
        EXPECT_NE(fileBytes(dir / "stderr.txt").find("out holds the frames of an earlier capture"), std::string::npos)
            << again;
        EXPECT_EQ(count(), 16) << again;
        EXPECT_TRUE(fileBytes(dir / "out/music.wav") == music) << again;
    }

    // What a killed capture was writing goes too; a file of the user's own stays.
    for (const char* left : {"frame-000003.png.partial-99999-0", "music.wav.partial-99999-1", "notes.partial-1"})
        std::ofstream(dir / "out" / left) << "half";
    ASSERT_EQ(tindrel(dir, "capture out --from 36 --to 36 --fps 1 --overwrite").status, 0);
    EXPECT_EQ(count(), 8);
    EXPECT_FALSE(fs::exists(dir / "out/frame-000008.png"));
    EXPECT_EQ(fs::file_size(dir / "out/music.wav"), 44u + 8u * 44100u * 4u);
    EXPECT_FALSE(fs::exists(dir / "out/frame-000003.png.partial-99999-0"));
    EXPECT_FALSE(fs::exists(dir / "out/music.wav.partial-99999-1"));
    EXPECT_TRUE(fs::exists(dir / "out/notes.partial-1"));
}

TEST(Program, CaptureMakesAVideoWithFfmpegAndSaysSoWithout) {
    const fs::path dir = TestImages::scratch("video");
    const Outcome without = tindrel(dir, "capture out --from 36 --video v.mp4", "env PATH=/nonexistent");
    EXPECT_EQ(without.status, 1);
    EXPECT_NE(fileBytes(dir / "stderr.txt").find("apt-get install ffmpeg"), std::string::npos);
    if (std::system("command -v ffmpeg >/dev/null 2>&1 && command -v ffprobe >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";

    ASSERT_EQ(tindrel(dir, "capture out --from 36 --to 36 --fps 10 --video v.mp4").status, 0);
    EXPECT_FALSE(fs::exists(dir / "out")) << "frames and music go to the video, not to files";
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().string().find(".partial"), std::string::npos) << entry.path();
    const std::string probe = "cd '" + dir.string() +
                              "' && ffprobe -v error -show_entries stream=codec_name:format=duration -of csv=p=0 v.mp4 > probe.txt";
    ASSERT_EQ(std::system(probe.c_str()), 0);
    const std::string streams = fileBytes(dir / "probe.txt");
    EXPECT_NE(streams.find("h264"), std::string::npos) << streams;
    EXPECT_NE(streams.find("aac"), std::string::npos) << streams;
    // Order 36 lasts 7.68 s; 77 frames at 10 fps.
    const double duration = std::stod(streams.substr(streams.rfind('\n', streams.size() - 2) + 1));
    EXPECT_NEAR(duration, 7.7, 0.15) << streams;

    ASSERT_EQ(tindrel(dir, "capture kept --from 36 --to 36 --fps 2 --video k.mp4 --keep-frames").status, 0);
    EXPECT_TRUE(fs::exists(dir / "k.mp4"));
    EXPECT_TRUE(fs::exists(dir / "kept/frame-000015.png"));
    EXPECT_TRUE(fs::exists(dir / "kept/music.wav"));

    // An existing video is the user's until --overwrite says otherwise.
    const std::string before = fileBytes(dir / "v.mp4");
    EXPECT_EQ(tindrel(dir, "capture --from 36 --to 36 --fps 2 --video v.mp4").status, 1);
    EXPECT_EQ(fileBytes(dir / "stderr.txt"), "tindrel: v.mp4 exists; --overwrite replaces it\n");
    EXPECT_TRUE(fileBytes(dir / "v.mp4") == before);
    ASSERT_EQ(tindrel(dir, "capture --from 36 --to 36 --fps 2 --video v.mp4 --overwrite").status, 0);
    EXPECT_FALSE(fileBytes(dir / "v.mp4") == before);

    // The web's codecs and container: a .webm name takes VP9 and Opus by itself.
    ASSERT_EQ(tindrel(dir, "capture --from 36 --to 36 --fps 2 --video w.webm").status, 0);
    const std::string webProbe = "cd '" + dir.string() +
                                 "' && ffprobe -v error -show_entries stream=codec_name -of csv=p=0 w.webm > web.txt";
    ASSERT_EQ(std::system(webProbe.c_str()), 0);
    EXPECT_EQ(fileBytes(dir / "web.txt"), "vp9\nopus\n");

    // A FIFO is written into as it is, no file asked for beside it, as a device would be.
    ASSERT_EQ(std::system(("cd '" + dir.string() + "' && mkfifo pipe.mkv && (timeout 60 cat pipe.mkv > piped.bin &)").c_str()), 0);
    EXPECT_EQ(tindrel(dir, "capture --from 36 --to 36 --fps 2 --video pipe.mkv --overwrite").status, 0)
        << fileBytes(dir / "stderr.txt");
    EXPECT_TRUE(fs::is_fifo(dir / "pipe.mkv"));
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().string().find(".partial"), std::string::npos) << entry.path();

    // A link's target is the video replaced; a missing folder is said before anything runs.
    fs::create_directories(dir / "kept/videos");
    fs::create_symlink("kept/videos/linked.mp4", dir / "link.mp4");
    ASSERT_EQ(tindrel(dir, "capture out --from 36 --to 36 --fps 2 --video link.mp4").status, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.mp4"));
    EXPECT_GT(fs::file_size(dir / "kept/videos/linked.mp4"), 0u);
    for (const auto& entry : fs::directory_iterator(dir / "kept/videos"))
        EXPECT_EQ(entry.path().filename(), "linked.mp4");
    EXPECT_EQ(tindrel(dir, "capture out --from 36 --to 36 --video none/v.mp4").status, 1);
    EXPECT_EQ(fileBytes(dir / "stderr.txt"), "tindrel: none/v.mp4: cannot write the video (No such file or directory)\n");
}

TEST(Program, ACaptureStoppedBySignalKeepsWholeFrames) {
    for (const char* signal : {"INT", "TERM"}) {
        const fs::path dir = TestImages::scratch(std::string("stopped-") + signal);
        // Started in the background, stopped a second in: well before the 284 s of music end.
        const std::string cmd = "cd '" + dir.string() + "' && ('" TINDREL_BINARY "' capture out 2>stderr.txt & pid=$!; sleep 1.5; kill -" +
                                signal + " $pid; wait $pid; echo $? > status.txt)";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        EXPECT_EQ(fileBytes(dir / "status.txt"), "130\n") << signal;
        int frames = 0;
        for (const auto& entry : fs::directory_iterator(dir / "out")) {
            const std::string name = entry.path().filename().string();
            EXPECT_EQ(name.find(".partial"), std::string::npos) << name;
            if (name.starts_with("frame-")) {
                ++frames;
                EXPECT_EQ(TestImages::readPng(entry.path()).width, 600) << name;
            }
        }
        EXPECT_GT(frames, 0) << signal;
        EXPECT_TRUE(fs::exists(dir / "out/music.wav")) << signal;
    }
}

// A picture goes to a file named .png; a folder or another name is refused before anything is
// drawn, in words rather than in the writer's error code.
TEST(Program, PicturesGoToPngFilesOnly) {
    const fs::path dir = TestImages::scratch("pictures");
    fs::create_directory(dir / "folder");
    const std::string picture = TINDREL_BUILD_DATA_DIR "/Part9/background.pcx";
    struct Case {
        std::string command;
        const char* says;
    };
    const Case cases[] = {
        {"still 36 0 0 folder", "folder is a folder"},
        {"sheet folder", "folder is a folder"},
        {"convert '" + picture + "' folder", "folder is a folder"},
        {"still 36 0 0 frame.jpg", "frame.jpg: the picture's name must end in .png"},
        {"sheet sheet", "sheet: the picture's name must end in .png"},
        {"convert '" + picture + "' picture.png.txt", "picture.png.txt: the picture's name must end in .png"},
    };
    for (const Case& c : cases) {
        const Outcome o = tindrel(dir, c.command);
        EXPECT_EQ(o.status, 1) << c.command;
        EXPECT_NE(fileBytes(dir / "stderr.txt").find(c.says), std::string::npos) << c.command;
    }
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
    EXPECT_EQ(tindrel(dir, "still 36 0 0 upper.PNG").status, 0);
}

TEST(Program, ConvertKeepsAlphaWhenAsked) {
    const fs::path dir = TestImages::scratch("convert");
    const std::string picture = TINDREL_BUILD_DATA_DIR "/Part9/background.pcx";
    ASSERT_EQ(tindrel(dir, "convert '" + picture + "' rgb.png").status, 0);
    ASSERT_EQ(tindrel(dir, "convert '" + picture + "' rgba.png --rgba").status, 0);
    EXPECT_FALSE(TestImages::readPng(dir / "rgb.png").hasAlpha);
    const auto rgba = TestImages::readPng(dir / "rgba.png");
    ASSERT_TRUE(rgba.hasAlpha);
    const auto loaded = Image::load(DataFolder(), picture.c_str());
    ASSERT_EQ(rgba.width, loaded->width());
    ASSERT_EQ(rgba.height, loaded->height());
    for (int y = 0; y < rgba.height; ++y)
        for (int x = 0; x < rgba.width; ++x) ASSERT_EQ(rgba.at(x, y), loaded->at(x, y)) << x << ',' << y;
}

TEST(Program, OutputsThatCannotBeWrittenAreReported) {
    const fs::path dir = TestImages::scratch("unwritable");
    std::ofstream(dir / "a-file") << "in the way";
    for (const char* command : {"still 36 0 0 a-file/f.png", "capture a-file/out --from 36 --to 36",
                                "sheet a-file/s.png", "capture a-file/out --audio-only --from 36"}) {
        const Outcome o = tindrel(dir, command);
        EXPECT_EQ(o.status, 1) << command;
        EXPECT_EQ(o.out, "") << command;
        EXPECT_NE(fileBytes(dir / "stderr.txt").find("a-file"), std::string::npos) << command;
    }
}

// A video scaled up for video sites: each pixel a block of whole pixels, so that taking one
// pixel of each block gives back the frame as closely as a video at the frame's own size does.
TEST(Program, AScaledVideoIsTheFrameInWholePixels) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1 && command -v ffprobe >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    const fs::path dir = TestImages::scratch("scaled");
    ASSERT_EQ(tindrel(dir, "capture kept --from 36 --to 36 --fps 10 --video one.mp4 --keep-frames").status, 0);
    ASSERT_EQ(tindrel(dir, "capture --from 36 --to 36 --fps 10 --video=two.mp4 --video-scale=2").status, 0);
    const std::string probe = "cd '" + dir.string() +
                              "' && ffprobe -v error -select_streams v -show_entries stream=width,height -of csv=p=0 two.mp4 > size.txt";
    ASSERT_EQ(std::system(probe.c_str()), 0);
    EXPECT_EQ(fileBytes(dir / "size.txt"), "1200,600\n");

    // Frame 40, four seconds into the farewell's fade, decoded from each video.
    for (const char* video : {"one", "two"}) {
        const std::string decode = "cd '" + dir.string() + "' && ffmpeg -v error -y -i " + video +
                                   ".mp4 -vf 'select=eq(n\\,40)' -vsync 0 -frames:v 1 " + video + ".png";
        ASSERT_EQ(std::system(decode.c_str()), 0) << video;
    }
    const TestImages::Png frame = TestImages::readPng(dir / "kept/frame-000040.png");
    auto psnr = [&frame](const TestImages::Png& decoded, int scale) {
        double squared = 0.0;
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x) {
                // Nearest sampling: the block's middle pixel.
                const Color a = frame.at(x, y);
                const Color b = decoded.at(x * scale + scale / 2, y * scale + scale / 2);
                for (const int d : {a.r - b.r, a.g - b.g, a.b - b.b}) squared += d * d;
            }
        const double mse = squared / (3.0 * frame.width * frame.height);
        return 10.0 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
    };
    const TestImages::Png one = TestImages::readPng(dir / "one.png");
    const TestImages::Png two = TestImages::readPng(dir / "two.png");
    ASSERT_EQ(one.width, 600);
    ASSERT_EQ(two.width, 1200);
    const double atOne = psnr(one, 1);
    const double atTwo = psnr(two, 2);
    EXPECT_GT(atOne, 30.0);
    EXPECT_GE(atTwo, atOne - 1.0) << "scale 1: " << atOne << " dB, scale 2: " << atTwo << " dB";
}
