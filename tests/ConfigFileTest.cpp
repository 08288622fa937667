// The user's configuration file: what it sets, what it refuses and where, and the command line
// winning over it; then the manual's synopses against what each command takes.

#include "ProgramRun.h"
#include "TestImages.h"
#include "app/CommandLine.h"
#include "app/ConfigFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

CommandLine withConfig(const std::string& text, const std::vector<std::string>& args) {
    return CommandLine::parse(args, ConfigFile::parse("tindrel.conf", text));
}

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The option names a piece of roff writes (\-\-video\-scale), as typed.
std::set<std::string> roffOptions(const std::string& roff) {
    std::set<std::string> names;
    for (std::size_t at = roff.find("\\-\\-"); at != std::string::npos; at = roff.find("\\-\\-", at + 1)) {
        std::string name = "--";
        std::size_t i = at + 4;
        for (; i < roff.size(); ++i) {
            if (roff.compare(i, 2, "\\-") == 0) {
                name += '-';
                ++i;
            } else if (std::isalpha(static_cast<unsigned char>(roff[i]))) {
                name += roff[i];
            } else {
                break;
            }
        }
        names.insert(name);
        at = i - 1;
    }
    return names;
}

const std::vector<std::string> commands = {"play", "studio", "new", "still", "capture", "sheet", "convert"};

} // namespace

TEST(ConfigFile, SetsWhatItSaysAndTheCommandLineWins) {
    const std::string good = "# the user's habits\n"
                             "\n"
                             "window\n"
                             "  volume = 60   # quieter\n"
                             "from=\"tunnels and cones\"\n"
                             "gentle=yes\n"
                             "stats=no\n"
                             "--scale=2\n"
                             "fps=30\n";
    const CommandLine play = withConfig(good, {});
    EXPECT_TRUE(play.window && play.gentle && !play.stats);
    EXPECT_EQ(play.volume, 60);
    EXPECT_EQ(play.scale, 2);
    EXPECT_EQ(play.from.text, "tunnels and cones");
    // The command line has the last word; a setting another command takes is no error here.
    const CommandLine told = withConfig(good, {"--volume", "80", "--fs", "--from", "0"});
    EXPECT_EQ(told.volume, 80);
    EXPECT_FALSE(told.window);
    EXPECT_EQ(told.from.order, 0);
    const CommandLine capture = withConfig(good, {"capture", "out"});
    EXPECT_EQ(capture.fps, 30);
    EXPECT_TRUE(capture.gentle);
    EXPECT_EQ(withConfig(good, {"still", "1", "2", "a.png"}).mode, CommandLine::Mode::still);
}

TEST(ConfigFile, ABadLineIsNamedByItsNumber) {
    struct Case {
        const char* text;
        const char* said;
    };
    const Case cases[] = {
        {"window\nfrobnicate=1\n", "tindrel.conf:2: no option frobnicate"},
        {"volume=loud\n", "tindrel.conf:1: --volume must be a whole number from 0 to 100, not \"loud\""},
        {"\n\n# fine\nvolume\n", "tindrel.conf:4: volume needs a value"},
        {"window=maybe\n", "tindrel.conf:1: window takes yes or no, not \"maybe\""},
        {"fs\n", "tindrel.conf:1: no option fs"},
        {"= 3\n", "tindrel.conf:1: \"= 3\" is not option=value"},
        {"scale=99\n", "tindrel.conf:1: --scale must be a whole number from 1 to 16, not \"99\""},
    };
    for (const Case& c : cases) {
        try {
            withConfig(c.text, {"still", "1", "2", "a.png"});
            ADD_FAILURE() << c.text << " was taken";
        } catch (const CommandLine::ConfigError& e) {
            EXPECT_STREQ(e.what(), c.said);
        }
    }
}

// The real program finds the file where the user keeps it, and a wrong line stops it with
// status 2 before any display is looked for.
TEST(ConfigFile, TheProgramReadsItFirst) {
    const std::filesystem::path dir = TestImages::scratch("config-file");
    std::filesystem::create_directories(dir / "config" / "tindrel");
    std::ofstream(dir / "config" / "tindrel" / "tindrel.conf") << "window\nvolume=200\n";
    const auto run = ProgramRun::tindrel(dir, "--mute", "env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME=config");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(ProgramRun::fileBytes(dir / "stderr.txt"),
              "config/tindrel/tindrel.conf:2: --volume must be a whole number from 0 to 100, not \"200\"\n");
    std::ofstream(dir / "config" / "tindrel" / "tindrel.conf") << "# mine\nfrom=farewell\n";
    const auto still = ProgramRun::tindrel(dir, "still 36 0 s.png", "XDG_CONFIG_HOME=config");
    EXPECT_EQ(still.status, 0) << ProgramRun::fileBytes(dir / "stderr.txt");
}

TEST(Manual, EachSynopsisAndOptionListsWhatTheCommandTakes) {
    const std::string manual = fileText(TINDREL_SOURCE_DIR "/docs/tindrel.1");
    const std::size_t from = manual.find(".SH SYNOPSIS"), to = manual.find(".SH DESCRIPTION");
    ASSERT_NE(to, std::string::npos);
    std::map<std::string, std::set<std::string>> synopsis;
    std::istringstream entries(manual.substr(from, to - from));
    std::string entry;
    for (std::string line; std::getline(entries, line);) {
        if (line != ".br") {
            entry += line + '\n';
            continue;
        }
        const std::size_t named = entry.find(".B tindrel ");
        std::string command = entry.find(".RB [ play ]") != std::string::npos ? "play" : "";
        if (command.empty() && named != std::string::npos)
            command = entry.substr(named + 11, entry.find('\n', named) - named - 11);
        if (std::find(commands.begin(), commands.end(), command) != commands.end()) synopsis[command] = roffOptions(entry);
        entry.clear();
    }
    // Each option's entry under OPTIONS says which commands take it: "(play, studio)".
    std::map<std::string, std::set<std::string>> listed;
    std::istringstream options(manual.substr(manual.find(".SH OPTIONS"), manual.find(".SH KEYS") - manual.find(".SH OPTIONS")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(options, line);) lines.push_back(line);
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        if (lines[i - 1] != ".TP" || !lines[i + 1].starts_with(".RB (")) continue;
        for (const std::string& option : roffOptions(lines[i]))
            for (const std::string& command : commands)
                if (lines[i + 1].find(' ' + command) != std::string::npos) listed[command].insert(option);
    }
    for (const std::string& command : commands) {
        const std::vector<std::string> taken = CommandLine::optionsOf(command);
        const std::set<std::string> takes(taken.begin(), taken.end());
        EXPECT_EQ(synopsis[command], takes) << "the synopsis of " << command;
        EXPECT_EQ(listed[command], takes) << "the OPTIONS entries for " << command;
    }
}
