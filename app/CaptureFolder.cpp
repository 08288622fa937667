#include "app/CaptureFolder.h"

#include <signal.h>

#include <cctype>
#include <cerrno>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// A process that no longer exists; one we may not signal is someone's, and alive.
bool gone(long pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

} // namespace

namespace CaptureFolder {

bool isCaptureOutput(const std::string& name) {
    constexpr std::string_view frame = "frame-", png = ".png";
    if (name == "music.wav") return true;
    const std::string_view n = name;
    // "%06d": six digits, more past a million frames.
    return n.size() >= frame.size() + 6 + png.size() && n.starts_with(frame) && n.ends_with(png) &&
           allDigits(n.substr(frame.size(), n.size() - frame.size() - png.size()));
}

bool isPartialOf(const std::string& name, long& pid) {
    constexpr std::string_view partial = ".partial-";
    const std::size_t at = name.rfind(partial);
    if (at == std::string::npos || !isCaptureOutput(name.substr(0, at))) return false;
    const std::string_view rest = std::string_view(name).substr(at + partial.size());
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos || !allDigits(rest.substr(0, dash)) || !allDigits(rest.substr(dash + 1)) ||
        dash > 9)
        return false;
    pid = std::stol(std::string(rest.substr(0, dash)));
    return true;
}

void clearEarlier(const fs::path& directory, bool overwrite) {
    std::vector<fs::path> earlier;
    std::vector<fs::path> unfinished;
    bool frames = false;
    for (const auto& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        long pid = 0;
        if (isCaptureOutput(name)) {
            earlier.push_back(entry.path());
            frames = frames || name != "music.wav";
        } else if (isPartialOf(name, pid) && gone(pid)) {
            unfinished.push_back(entry.path());
        }
    }
    // Refused before anything goes: a refusal leaves the folder as it was.
    if (!overwrite && frames)
        throw std::runtime_error(directory.string() + " holds the frames of an earlier capture; --overwrite replaces them");
    for (const auto& path : unfinished) fs::remove(path);
    if (!overwrite) return;
    for (const auto& path : earlier) fs::remove(path);
}

} // namespace CaptureFolder
