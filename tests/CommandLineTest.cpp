#include "app/CommandLine.h"

#include <gtest/gtest.h>

using Mode = CommandLine::Mode;

TEST(CommandLine, ReadsEachMode) {
    const auto play = CommandLine::parse({});
    EXPECT_EQ(play.mode, Mode::play);
    EXPECT_FALSE(play.window);

    const auto window = CommandLine::parse({"--window", "--scale", "3", "--from", "36", "--data", "d"});
    EXPECT_EQ(window.mode, Mode::play);
    EXPECT_TRUE(window.window);
    EXPECT_EQ(window.scale, 3);
    EXPECT_EQ(window.from, 36);
    EXPECT_EQ(window.dataDir, "d");

    const auto still = CommandLine::parse({"still", "36", "32", "-1.5", "f.png", "--rgba"});
    EXPECT_EQ(still.mode, Mode::still);
    EXPECT_EQ(still.order, 36);
    EXPECT_EQ(still.row, 32);
    EXPECT_EQ(still.seconds, -1.5);
    EXPECT_EQ(still.output, "f.png");
    EXPECT_TRUE(still.rgba);

    const auto capture = CommandLine::parse({"capture", "out", "--fps", "30", "--from", "2", "--to", "3"});
    EXPECT_EQ(capture.mode, Mode::capture);
    EXPECT_EQ(capture.output, "out");
    EXPECT_EQ(capture.fps, 30);
    EXPECT_EQ(capture.to, 3);
    EXPECT_FALSE(capture.audioOnly);
    const auto music = CommandLine::parse({"capture", "out", "--audio-only", "--from", "36"});
    EXPECT_EQ(music.mode, Mode::capture);
    EXPECT_TRUE(music.audioOnly);
    EXPECT_EQ(music.from, 36);

    const auto convert = CommandLine::parse({"convert", "a.pcx", "a.png"});
    EXPECT_EQ(convert.mode, Mode::convert);
    EXPECT_EQ(convert.input, "a.pcx");
}

TEST(CommandLine, RefusesWhatItCannotMean) {
    const std::vector<std::vector<std::string>> bad = {
        {"--frobnicate"},
        {"still", "36", "0", "0"},
        {"still", "x", "0", "0", "f.png"},
        {"still", "36", "70000", "0", "f.png"},
        {"still", "36", "0", "soon", "f.png"},
        {"capture"},
        {"capture", "d", "--fps", "0"},
        {"capture", "d", "--from", "5", "--to", "4"},
        {"--scale"},
        {"--scale", "2x"},
        {"dance"},
    };
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args) joined += a + ' ';
        EXPECT_THROW(CommandLine::parse(args), CommandLine::UsageError) << joined;
    }
}
