#include "tools/SongSource.h"

#include <gtest/gtest.h>

#include <string>

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
        {"00 | C#4 01 v20 8B0 | C-4 02 ... ...", "00 | C#4 01 v20 8B0 | C-4 02 ... F03",
         "t.song:19: channel 2: effect F03 would move the clock the show keeps to"},
        {"00 | C#4 01 v20 8B0 | C-4 02 ... ...", "00 | C#4 01 v20 8B0 | C-4 02 ... EE2",
         "t.song:19: channel 2: effect EE2 would move the clock the show keeps to"},
        {"01 | === .. ... ... |", "02 | === .. ... ... |", "t.song:20: row 1 comes next, not 02"},
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
