#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The show names its files relative to one data directory ("Super.xm", "Part9/background.pcx").
// The directory is chosen once at start-up; messages keep printing the names as written.
//
// Only regular files of at most maxBytes are read: a FIFO or a device in place of an asset
// would stall the show or feed it without end, and nothing the show loads comes near the limit.
class AssetFile {
public:
    static constexpr std::uintmax_t maxBytes = std::uintmax_t{64} << 20;

    // What a loader says when a file cannot be had, in its own words.
    struct Refusals {
        // Missing, unreadable, or not a regular file.
        const char* cannotOpen = "Could not open file";
        // Larger than maxBytes.
        const char* tooLarge = "Could not open file";
    };

    // An empty root means the working directory.
    static void setRoot(const std::filesystem::path& root);
    static const std::filesystem::path& root();
    static std::filesystem::path path(const std::string& name);

    // Opens the named file, so a caller can look at the name before reading a byte. Throws
    // LoadError(name, refusals.cannotOpen).
    static AssetFile open(const std::string& name, Refusals refusals);
    static AssetFile open(const std::string& name) { return open(name, Refusals()); }
    // The whole file; throws LoadError(name, refusals.tooLarge) for a file over maxBytes, or
    // with cannotOpen when a read fails.
    std::vector<std::uint8_t> readAll();

    static std::vector<std::uint8_t> read(const std::string& name, Refusals refusals) {
        return open(name, refusals).readAll();
    }
    static std::vector<std::uint8_t> read(const std::string& name) { return read(name, Refusals()); }

private:
    AssetFile(const std::string& name, Refusals refusals) : name_(name), refusals_(refusals) {}

    std::string name_;
    Refusals refusals_;
    std::ifstream in_;
    std::uintmax_t size_ = 0;
};
