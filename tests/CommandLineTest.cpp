#include "BuildData.h"
#include "app/CommandLine.h"
#include "app/ShowLoad.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using Mode = CommandLine::Mode;

namespace {

std::string joined(const std::vector<std::string>& args) {
    std::string line;
    for (const auto& a : args) line += a + ' ';
    return line;
}

// Where the command line's --from, --to and --loop place play in the build's show.
PlayRange placed(const std::vector<std::string>& args) { return ShowLoad::range(CommandLine::parse(args), buildShow()); }

} // namespace

TEST(CommandLine, ReadsEachMode) {
    const auto play = CommandLine::parse({});
    EXPECT_EQ(play.mode, Mode::play);
    EXPECT_FALSE(play.window);
    EXPECT_EQ(play.scale, 0);

    const auto window = CommandLine::parse({"--window", "--scale", "3", "--from", "36", "--data", "d", "--loop"});
    EXPECT_EQ(window.mode, Mode::play);
    EXPECT_TRUE(window.window);
    EXPECT_EQ(window.scale, 3);
    EXPECT_EQ(window.from.order, 36);
    EXPECT_EQ(window.dataDir, "d");
    EXPECT_TRUE(window.loop);
    EXPECT_EQ(CommandLine::parse({"play", "--to", "5", "--stats"}).to.order, 5);
    EXPECT_FALSE(play.gentle);
    EXPECT_TRUE(CommandLine::parse({"--gentle"}).gentle);
    EXPECT_TRUE(CommandLine::parse({"capture", "out", "--gentle"}).gentle);

    const auto still = CommandLine::parse({"still", "36", "32", "-1.5", "f.png", "--rgba"});
    EXPECT_EQ(still.mode, Mode::still);
    EXPECT_EQ(still.order, 36);
    EXPECT_EQ(still.row, 32);
    EXPECT_EQ(still.seconds, -1.5);
    EXPECT_EQ(still.output, "f.png");
    EXPECT_TRUE(still.rgba);
    const auto untimed = CommandLine::parse({"still", "12", "10", "f.png"});
    EXPECT_FALSE(untimed.seconds.has_value());
    EXPECT_EQ(untimed.output, "f.png");

    const auto capture = CommandLine::parse({"capture", "out", "--fps", "30", "--from", "2", "--to", "3", "--overwrite"});
    EXPECT_EQ(capture.mode, Mode::capture);
    EXPECT_EQ(capture.output, "out");
    EXPECT_EQ(capture.fps, 30);
    EXPECT_EQ(capture.to.order, 3);
    EXPECT_FALSE(capture.audioOnly);
    EXPECT_TRUE(capture.overwrite);
    const auto music = CommandLine::parse({"capture", "out", "--audio-only", "--from", "36"});
    EXPECT_EQ(music.mode, Mode::capture);
    EXPECT_TRUE(music.audioOnly);
    EXPECT_EQ(music.from.order, 36);
    const auto video = CommandLine::parse({"capture", "out", "--video", "v.mp4", "--keep-frames"});
    EXPECT_EQ(video.video, "v.mp4");
    EXPECT_TRUE(video.keepFrames);
    EXPECT_EQ(video.videoCodec, "h264");
    const auto web = CommandLine::parse({"capture", "out", "--video", "v.WebM", "--video-codec", "vp9"});
    EXPECT_EQ(web.videoCodec, "vp9");

    const auto convert = CommandLine::parse({"convert", "a.pcx", "a.png", "--rgba"});
    EXPECT_EQ(convert.mode, Mode::convert);
    EXPECT_EQ(convert.input, "a.pcx");
    EXPECT_TRUE(convert.rgba);
}

// A title may be typed as the show file has it, without its "the", in any case, or with the
// dashes completion offers; --from takes the scene's first order and --to its last.
TEST(CommandLine, FindsScenesByTitleInTheShow) {
    struct Case {
        std::vector<std::string> args;
        int from;
        int to;
    };
    const Case cases[] = {
        {{"--from", "the wave warp"}, 32, -1},
        {{"--from", "wave warp"}, 32, -1},
        {{"--from", "The Wave WARP"}, 32, -1},
        {{"--from", "the-wave-warp"}, 32, -1},
        {{"--from", "farewell"}, 36, -1},
        {{"--from", "opening", "--to", "blob-light"}, 0, 7},
        {{"capture", "d", "--from", "tunnels and cones", "--to", "tunnels and cones"}, 23, 31},
    };
    for (const Case& c : cases) {
        const PlayRange range = placed(c.args);
        EXPECT_EQ(range.from, c.from) << joined(c.args);
        EXPECT_EQ(range.to, c.to) << joined(c.args);
    }
}

TEST(CommandLine, RefusesWhatItCannotMean) {
    const std::vector<std::vector<std::string>> bad = {
        {"--frobnicate"},
        {"still", "36", "0"},
        {"still", "36", "0", "0", "f.png", "g.png"},
        {"still", "x", "0", "0", "f.png"},
        {"still", "36", "70000", "0", "f.png"},
        {"still", "36", "0", "soon", "f.png"},
        {"capture"},
        {"capture", "d", "--fps", "0"},
        {"capture", "d", "--keep-frames"},
        {"capture", "d", "--audio-only", "--video", "v.mp4"},
        {"capture", "d", "--video-codec", "vp9"},
        {"capture", "d", "--video", "v.mp4", "--video-codec", "h265"},
        {"capture", "d", "--video", "v.webm", "--video-codec", "h264"},
        {"capture", "--video-scale", "2"},
        {"capture", "--video", "v.mp4", "--video-scale", "9"},
        {"capture", "--video", "v.mp4", "--keep-frames"},
        {"--window=yes"},
        {"--volume", "101"},
        {"--volume=-1"},
        {"--scale"},
        {"--scale", "2x"},
        {"--scale", "17"},
        {"play", "extra"},
        {"help", "dance"},
        {"dance"},
    };
    for (const auto& args : bad) EXPECT_THROW(CommandLine::parse(args), CommandLine::UsageError) << joined(args);
}

// What users of other players type: --name=value, times, a volume, a scene looped alone.
// Said before ffmpeg starts, which would take "-" for standard input's name or not know what
// container a name wants.
TEST(CommandLine, RefusesAVideoNameFfmpegCannotWrite) {
    struct Case {
        const char* name;
        const char* said;
    };
    for (const Case& c : {Case{"-", "--video cannot go to standard output; the video's name must end in .mp4, .mkv, .mov or .webm"},
                          Case{"noext", "--video \"noext\": the video's name must end in .mp4, .mkv, .mov or .webm"},
                          Case{".mp4", "--video \".mp4\": the video's name must end in .mp4, .mkv, .mov or .webm"},
                          Case{"/dev/full", "--video \"/dev/full\": the video's name must end in .mp4, .mkv, .mov or .webm"}}) {
        try {
            CommandLine::parse({"capture", "--video", c.name});
            ADD_FAILURE() << c.name << " was taken";
        } catch (const CommandLine::UsageError& e) {
            EXPECT_STREQ(e.what(), c.said);
        }
    }
    for (const char* good : {"v.MP4", "v.mkv", "dir/v.mov", "v.webm"})
        EXPECT_EQ(CommandLine::parse({"capture", "--video", good}).video, good);
}

TEST(CommandLine, TakesWhatOtherPlayersTake) {
    struct Case {
        std::vector<std::string> args;
        std::function<bool(const CommandLine&)> holds;
    };
    const Case cases[] = {
        {{"--from=wave-warp", "--to=35"}, [](const auto& c) { return c.from.isTitle() && c.to.order == 35; }},
        {{"--scale=2", "--data=d"}, [](const auto& c) { return c.scale == 2 && c.dataDir == "d"; }},
        {{"capture", "--video=v.mp4", "--video-scale=6", "--fps=30"},
         [](const auto& c) { return c.video == "v.mp4" && c.videoScale == 6 && c.fps == 30 && c.output.empty(); }},
        {{"--from", "2:30"}, [](const auto& c) { return c.from.time == 150.0 && c.from.text == "2:30"; }},
        {{"--from", "150.5", "--to", "3:00.25"}, [](const auto& c) { return c.from.time == 150.5 && c.to.time == 180.25; }},
        {{"--from", "1:02:03"}, [](const auto& c) { return c.from.time == 3723.0; }},
        {{"--from", "0.5"}, [](const auto& c) { return c.from.time == 0.5; }},
        {{"--from", "150"}, [](const auto& c) { return c.from.order == 150 && !c.from.time; }},  // a whole number is an order
        {{"--volume", "70"}, [](const auto& c) { return c.volume == 70; }},
        {{"--volume=0"}, [](const auto& c) { return c.volume == 0; }},
        {{}, [](const auto& c) { return c.volume == 100; }},
        {{"--window", "--fs"}, [](const auto& c) { return !c.window; }},
        {{"capture", "--video", "v.webm"}, [](const auto& c) { return c.videoCodec == "vp9"; }},
        {{"capture", "--video", "v.webm", "--video-codec", "av1"}, [](const auto& c) { return c.videoCodec == "av1"; }},
    };
    for (const Case& c : cases) EXPECT_TRUE(c.holds(CommandLine::parse(c.args))) << joined(c.args);
}

// A scene looped is that scene; with --to, or from an order, the range as given.
TEST(CommandLine, LoopsASceneGivenByItsTitle) {
    struct Case {
        std::vector<std::string> args;
        int from, to;
    };
    const Case cases[] = {
        {{"--from", "wave warp", "--loop"}, 32, 35},
        {{"--loop", "--from", "tunnels-and-cones"}, 23, 31},
        {{"--from", "wave warp", "--loop", "--to", "36"}, 32, 36},
        {{"--from", "32", "--loop"}, 32, -1},
        {{"--from", "wave warp"}, 32, -1},
    };
    for (const Case& c : cases) {
        const PlayRange range = placed(c.args);
        EXPECT_TRUE(range.from == c.from && range.to == c.to) << joined(c.args) << ": " << range.from << ".." << range.to;
    }
    EXPECT_THROW(placed({"capture", "d", "--from", "5", "--to", "4"}), CommandLine::UsageError);
    EXPECT_THROW(placed({"--from", "the farewell", "--to", "the opening"}), CommandLine::UsageError);
}

// However --from is wrong, it is said the same way: by the command line when it cannot be a
// place, by the show when it has none such.
TEST(CommandLine, SaysEveryWrongFromOneWay) {
    for (const char* wrong : {"nowhere", "wave", "12x", "-3", "1:60", "1:2:3:4", "1.2.3", "2:30x", "37", "9:00", ""}) {
        try {
            placed({"--from", wrong});
            ADD_FAILURE() << wrong << " was taken";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("--from \"" + std::string(wrong) + "\" is no place in the show; ", 0), 0u)
                << e.what();
        }
    }
}

// Every option a command's help shows, and no other, is one the command takes.
TEST(CommandLine, TakesTheOptionsItsHelpShows) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> commands = {
        {"play", {}},
        {"still", {"still", "1", "2", "f.png"}},
        {"capture", {"capture", "d"}},
        {"sheet", {"sheet", "s.png"}},
        {"convert", {"convert", "a.pcx", "a.png"}},
    };
    const std::vector<std::vector<std::string>> options = {
        {"--window"}, {"--scale", "2"}, {"--from", "1"}, {"--to", "2"},       {"--loop"},
        {"--volume", "50"}, {"--video-scale", "2", "--video", "v.mp4"},
        {"--mute"},   {"--stats"},      {"--gentle"},    {"--rgba"},      {"--fps", "30"},     {"--audio-only"},
        {"--video", "v.mp4"},           {"--keep-frames", "--video", "v.mp4"}, {"--overwrite"},
        {"--video-codec", "av1", "--video", "v.mp4"},
        {"--data", "d"},
    };
    for (const auto& [command, base] : commands) {
        const std::string help = CommandLine::help(command);
        for (const auto& option : options) {
            std::vector<std::string> args = base;
            args.insert(args.end(), option.begin(), option.end());
            const bool shown = help.find(option[0]) != std::string::npos;
            bool taken = true;
            try {
                CommandLine::parse(args);
            } catch (const CommandLine::UsageError&) {
                taken = false;
            }
            EXPECT_EQ(taken, shown) << joined(args);
        }
    }
}

TEST(CommandLine, AnswersHelpForEachCommand) {
    struct Case {
        std::vector<std::string> args;
        const char* topic;
    };
    const Case cases[] = {
        {{"--help"}, ""},
        {{"help"}, ""},
        {{"still", "--help"}, "still"},
        {{"help", "still"}, "still"},
        {{"capture", "d", "--rgba", "-h"}, "capture"},  // even of a line that would be refused
        {{"sheet", "--help"}, "sheet"},
        {{"convert", "--help"}, "convert"},
        {{"play", "--help"}, "play"},
    };
    for (const Case& c : cases) {
        const auto cl = CommandLine::parse(c.args);
        EXPECT_EQ(cl.mode, Mode::help) << joined(c.args);
        EXPECT_EQ(cl.helpTopic, c.topic) << joined(c.args);
    }

    const std::string all = CommandLine::help("");
    for (const char* shown : {"tindrel still ORDER ROW [SECONDS] OUT.png", "tindrel capture DIR", "tindrel sheet OUT.png",
                              "tindrel convert IN OUT.png", "PageDown", "Escape", "the wave warp"})
        EXPECT_NE(all.find(shown), std::string::npos) << shown;
    EXPECT_EQ(CommandLine::help("still").find("capture"), std::string::npos);
}
