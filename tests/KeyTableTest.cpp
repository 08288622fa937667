// The key table against everything that describes the keys: the manual's key section, the
// README's table and the help.

#include "app/CommandLine.h"
#include "platform/KeyTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string fileText(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A man page's ".B a" or ".BR a \", \" b" line as it reads: "a", "a, b".
std::string roffKeys(const std::string& line) {
    std::string text;
    bool quoted = false;
    for (std::size_t i = line.find(' ') + 1; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        else if (line[i] != ' ' || quoted) text += line[i];
    }
    return text;
}

} // namespace

TEST(KeyTable, TheManualListsEveryRowInItsOrder) {
    const std::string manual = fileText(TINDREL_SOURCE_DIR "/docs/tindrel.1");
    const std::size_t from = manual.find(".SH KEYS"), to = manual.find(".SH ", from + 1);
    ASSERT_NE(from, std::string::npos);
    std::istringstream section(manual.substr(from, to - from));
    std::vector<std::string> listed;
    for (std::string line, previous; std::getline(section, line); previous = line)
        if (previous.starts_with(".TP")) listed.push_back(roffKeys(line));
    std::vector<std::string> table;
    for (const KeyBinding& row : KeyTable::rows()) table.push_back(KeyTable::keysOf(row));
    EXPECT_EQ(listed, table);
}

TEST(KeyTable, EveryKeyIsOneRowsAndTheHelpShowsThemAll) {
    std::set<std::string> sdl, browser;
    const std::string help = CommandLine::help("play");
    for (const KeyBinding& row : KeyTable::rows()) {
        ASSERT_EQ(row.keys.size(), row.browserKeys.size()) << row.name;
        for (const char* key : row.keys) EXPECT_TRUE(sdl.insert(key).second) << key << " is in two rows";
        for (const char* key : row.browserKeys) EXPECT_TRUE(browser.insert(key).second) << key << " is in two rows";
        EXPECT_NE(help.find(KeyTable::keysOf(row) + " "), std::string::npos) << row.name;
        EXPECT_NE(help.find(row.help), std::string::npos) << row.name;
    }
}
