#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// One of the show's files, open for reading (see DataFolder, which finds it by its name).
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

    // Opens the file at path, named name in messages, so a caller can look at the name before
    // reading a byte. Throws LoadError(name, refusals.cannotOpen).
    static AssetFile open(const std::filesystem::path& path, const std::string& name, Refusals refusals);
    // The whole file; throws LoadError(name, refusals.tooLarge) for a file over maxBytes, or
    // with cannotOpen when a read fails.
    std::vector<std::uint8_t> readAll();

private:
    AssetFile(const std::string& name, Refusals refusals) : name_(name), refusals_(refusals) {}

    std::string name_;
    Refusals refusals_;
    std::ifstream in_;
    std::uintmax_t size_ = 0;
};
