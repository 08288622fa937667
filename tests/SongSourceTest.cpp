#include "tools/SongSource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Two instruments and a two-row pattern: enough to place every column of a cell.
const std::string tiny = R"(# a comment
song Tiny Song
speed 6
bpm 125
channels 2

instrument 01 beep
  loop 100 1
  saw lowpass 2000
  envelope 0:0 2:64 10:32 sustain 1
end
instrument 02 tick   # noise in eight bits
  bits 8
  length 0.01
  noise highpass 5000 decay 0.002
end

pattern a
00 | C#4 01 v20 8B0 | C-4 02 ... ...
01 | === .. ... ... |
end
pattern b
00 | ... .. v40 G10 | ... .. ... A0F
01 |                | B-7 01 ... ...
end

order a b
order a
)";

std::string errorOf(const std::string& text) {
    try {
        compileSongText(text, "t.song");
    } catch (const SongError& e) {
        return e.what();
    }
    return "no error";
}

// The tiny song with one line replaced, or with a line added after it.
std::string with(const std::string& line, const std::string& replacement) {
    std::string text = tiny;
    const std::size_t at = text.find(line);
    if (at == std::string::npos) throw std::logic_error("no line " + line);
    return text.replace(at, line.size(), replacement);
}

} // namespace

TEST(SongSource, ReadsTrackerNotationIntoTheModule) {
    const XmModule m = compileSongText(tiny, "tiny.song");
    EXPECT_EQ(m.name, "Tiny Song");
    EXPECT_EQ(m.channels, 2);
    EXPECT_EQ(m.orders, (std::vector<int>{0, 1, 0}));
    ASSERT_EQ(m.patterns.size(), 2u);
    EXPECT_EQ(m.patterns[0].rows, 2);
    EXPECT_EQ(m.patterns[0].at(0, 0), (XmNote{50, 1, 0x30, 8, 0xB0}));
    EXPECT_EQ(m.patterns[0].at(0, 1), (XmNote{49, 2, 0, 0, 0}));
    EXPECT_EQ(m.patterns[0].at(1, 0), (XmNote{XmNote::keyOff, 0, 0, 0, 0}));
    EXPECT_TRUE(m.patterns[0].at(1, 1).empty());
    EXPECT_EQ(m.patterns[1].at(0, 0), (XmNote{0, 0, 0x50, 16, 0x10}));
    EXPECT_EQ(m.patterns[1].at(0, 1), (XmNote{0, 0, 0, 10, 0x0F}));
    EXPECT_EQ(m.patterns[1].at(1, 1), (XmNote{96, 1, 0, 0, 0}));

    ASSERT_EQ(m.instruments.size(), 2u);
    const XmInstrument& beep = m.instruments[0];
    EXPECT_EQ(beep.name, "beep");
    EXPECT_EQ(beep.volumeEnvelope.points.size(), 3u);
    EXPECT_EQ(beep.volumeEnvelope.sustain, 1);
    EXPECT_EQ(beep.samples[0].loop, XmLoop::forward);
    EXPECT_EQ(beep.samples[0].pcm16.size(), 100u);
    EXPECT_EQ(beep.samples[0].loopLength, 100u);
    EXPECT_EQ(m.instruments[1].samples[0].pcm8.size(), 441u);
    EXPECT_TRUE(m.instruments[1].samples[0].pcm16.empty());
}

TEST(SongSource, NamesTheFileAndLineOfEachMistake) {
    struct Case {
        std::string line, replacement, message;
    };
    const Case cases[] = {
        {"speed 6", "tempo 6", "t.song:3: unknown statement \"tempo\""},
        {"bpm 125", "bpm 300", "t.song:4: bpm must be 32..255, not \"300\""},
        {"instrument 02 tick", "instrument 03 tick", "t.song:12: instrument 02 comes next, not 03"},
        {"  saw lowpass 2000", "  saw lowpass 2000 wobble 3", "t.song:9: unknown layer setting \"wobble\""},
        {"  saw lowpass 2000", "  noise", "t.song:11: instrument beep: noise never repeats; a loop takes tones only"},
        {"  length 0.01", "  bits 8", "t.song:16: instrument tick needs a length or a loop, not both"},
        {"00 | C#4 01 v20 8B0 | C-4 02 ... ...", "00 | H-4 01 v20 8B0 | C-4 02 ... ...",
         "t.song:19: channel 1: no note \"H-4\" between C-0 and B-7"},
        {"00 | C#4 01 v20 8B0 | C-4 02 ... ...", "00 | C#4 03 v20 8B0 | C-4 02 ... ...",
         "t.song:19: channel 1: instrument 03 is not defined before this pattern"},
        {"00 | C#4 01 v20 8B0 | C-4 02 ... ...", "00 | C#4 01 v41 8B0 | C-4 02 ... ...",
         "t.song:19: channel 1: volume must be 00..40 in hex, not \"41\""},
        {"00 | C#4 01 v20 8B0 | C-4 02 ... ...", "00 | C#4 01 v20 8B0 | C-4 02 ... D00",
         "t.song:19: channel 2: effect D00 would move the clock the show keeps to"},
        {"00 | C#4 01 v20 8B0 | C-4 02 ... ...", "00 | C#4 01 v20 8B0 | C-4 02 ... EE2",
         "t.song:19: channel 2: effect EE2 would move the clock the show keeps to"},
        {"01 | === .. ... ... |", "00 | === .. ... ... |", "t.song:20: row 1 or a later one comes next, not 00"},
        {"pattern a\n", "pattern a 1\n", "t.song:20: pattern a has rows 0 to 0, not 01"},
        {"pattern a\n", "pattern a 257\n", "t.song:18: a pattern's rows must be 1..256, not \"257\""},
        {"01 | === .. ... ... |", "01 | === .. ... I01 |",
         "t.song:20: channel 1: no effect \"I01\": FastTracker 2's are 0-9, A, C, E, F, G, H, K, L, P, R, T and X"},
        {"  saw lowpass 2000", "  sien lowpass 2000", "t.song:9: unknown instrument setting \"sien\" (did you mean sine?)"},
        {"  saw lowpass 2000", "  saw lowpas 2000", "t.song:9: unknown layer setting \"lowpas\" (did you mean lowpass?)"},
        {"speed 6", "sped 6", "t.song:3: unknown statement \"sped\" (did you mean speed?)"},
        {"01 | === .. ... ... |", "01 | === .. ... ...", "t.song:20: row 1 needs 2 cells, one a channel, not 1"},
        {"01 | === .. ... ... |", "01 | === .. | |", "t.song:20: row 1 needs 2 cells, one a channel, not 3"},
        {"order a\n", "order a c\n", "t.song:28: no pattern named c"},
        {"pattern b\n", "pattern a\n", "t.song:22: pattern a is defined twice"},
        {"B-7 01 ... ...\nend\n\norder a b\norder a\n", "B-7 01 ... ...\n", "t.song:22: pattern b has no end"},
        {"order a b\norder a\n", "", "t.song:1: the song has no order list"},
        {"channels 2", "channels 2\ninclude missing.song", "t.song:6: cannot read missing.song"},
    };
    EXPECT_EQ(errorOf(tiny), "no error");
    for (const Case& c : cases) EXPECT_EQ(errorOf(with(c.line, c.replacement)), c.message) << c.replacement;
}

TEST(SongSource, APatternWritesOnlyTheRowsThatHoldSomething) {
    // The same pattern in the full form and in the short ones: rows left out are empty; with a
    // length on its first line the pattern has it, without one it ends at its last row.
    const std::string b = "pattern b\n00 | ... .. v40 G10 | ... .. ... A0F\n01 |                | B-7 01 ... ...\nend\n";
    const std::string full = "pattern b\n00 | |\n01 | |\n02 | | C-4 01 ... ...\n03 | |\n04 | |\n"
                             "05 | === .. ... ... |\n06 | |\n07 | |\nend\n";
    const XmPattern expected = compileSongText(with(b, full), "t.song").patterns[1];
    ASSERT_EQ(expected.rows, 8);
    const XmPattern sized =
        compileSongText(with(b, "pattern b 8\n02 | | C-4 01 ... ...\n05 | === .. ... ... |\nend\n"), "t.song").patterns[1];
    EXPECT_EQ(sized, expected);
    const XmPattern open =
        compileSongText(with(b, "pattern b\n02 | | C-4 01 ... ...\n05 | === .. ... ... |\nend\n"), "t.song").patterns[1];
    EXPECT_EQ(open.rows, 6);
    EXPECT_EQ(open.at(2, 1), expected.at(2, 1));
    EXPECT_EQ(open.at(5, 0), expected.at(5, 0));
}

TEST(SongSource, NamesFilesFromTheSourcesFolder) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tindrel-song-names" / "music";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "super.song") << with("channels 2", "channels 2\ninclude band.song");
    std::ofstream(folder / "band.song") << "bpm 20\n";
    try {
        compileSong(folder / "super.song", folder.parent_path());
        ADD_FAILURE() << "a bpm of 20 was taken";
    } catch (const SongError& e) {
        EXPECT_STREQ(e.what(), "music/band.song:1: bpm must be 32..255, not \"20\"");
    }
    std::filesystem::remove_all(folder.parent_path());
}

TEST(SongSource, ThePageListsWhatTheCompilerKnows) {
    // The page people read is the compiler's own list, word for word...
    std::ifstream in(std::filesystem::path(TINDREL_SOURCE_DIR) / "docs/song-notation.md", std::ios::binary);
    const std::string page{std::istreambuf_iterator<char>(in), {}};
    const std::string fence = "```\nStatements\n";
    const auto from = page.find(fence);
    ASSERT_NE(from, std::string::npos) << "docs/song-notation.md has no list of the notation";
    EXPECT_EQ(page.substr(from + 4, page.find("```", from + 4) - from - 4), songNotation())
        << "docs/song-notation.md differs from the compiler's table";

    // ... and every word on it is one the compiler takes: none is called unknown.
    std::istringstream lines(songNotation());
    std::string line, section;
    int checked = 0;
    while (std::getline(lines, line)) {
        if (!line.starts_with("  ")) {
            section = line.substr(0, line.find_first_of(" ,"));
            continue;
        }
        if (line.starts_with("    ")) continue;
        const std::string name = line.substr(2, line.find(' ', 2) - 2);
        std::string error;
        if (section == "Statements") error = errorOf(with("speed 6", name + " 6"));
        else if (section == "Instrument") error = errorOf(with("  bits 8", "  " + name));
        else if (section == "Layer") error = errorOf(with("  noise highpass 5000", "  noise " + name));
        else if (section == "Effects") error = errorOf(with("A0F", name.substr(0, 1) + "01"));
        ASSERT_FALSE(error.empty()) << line;
        EXPECT_EQ(error.find("unknown"), std::string::npos) << error;
        if (section == "Effects") {
            EXPECT_EQ(error, "no error") << name;
        }
        ++checked;
    }
    EXPECT_GT(checked, 40);
}
