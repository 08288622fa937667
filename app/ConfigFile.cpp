#include "app/ConfigFile.h"

#include "app/CommandLine.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace {

constexpr std::uintmax_t largest = 64 * 1024;

std::string trimmed(const std::string& text) {
    const std::size_t from = text.find_first_not_of(" \t\r");
    if (from == std::string::npos) return {};
    return text.substr(from, text.find_last_not_of(" \t\r") + 1 - from);
}

} // namespace

std::filesystem::path ConfigFile::defaultPath() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::filesystem::path(config) / "tindrel" / "tindrel.conf";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".config" / "tindrel" / "tindrel.conf";
    return {};
}

ConfigFile ConfigFile::read(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (path.empty() || !std::filesystem::exists(status)) return {path.string(), {}};
    auto fail = [&path](const std::string& what) { return CommandLine::ConfigError(path.string() + ":0: " + what); };
    if (!std::filesystem::is_regular_file(status)) throw fail("not a file");
    if (std::filesystem::file_size(path, ec) > largest || ec) throw fail("over 64 KB; not a configuration file");
    std::ifstream in(path, std::ios::binary);
    std::string text;
    text.assign(std::istreambuf_iterator<char>(in), {});
    if (!in.eof() && in.fail()) throw fail("cannot be read");
    if (text.size() > largest) throw fail("over 64 KB; not a configuration file");
    return parse(path.string(), text);
}

ConfigFile ConfigFile::parse(const std::string& path, const std::string& text) {
    ConfigFile file{path, {}};
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        // A comment starts the line or follows a space, so a value may hold a #.
        for (std::size_t hash = line.find('#'); hash != std::string::npos; hash = line.find('#', hash + 1))
            if (hash == 0 || line[hash - 1] == ' ' || line[hash - 1] == '\t') {
                line.erase(hash);
                break;
            }
        line = trimmed(line);
        if (line.empty()) continue;
        const std::size_t equals = line.find('=');
        std::string name = trimmed(line.substr(0, equals));
        std::string value = equals == std::string::npos ? "" : trimmed(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (name.starts_with("--")) name.erase(0, 2);
        if (name.empty() || name.find_first_of(" \t\"") != std::string::npos)
            throw CommandLine::ConfigError(path + ":" + std::to_string(number) + ": \"" + line +
                                           "\" is not option=value");
        file.settings.push_back({number, "--" + name, value, equals != std::string::npos});
    }
    return file;
}
