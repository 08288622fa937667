#pragma once

#include "raster/AssetFile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The folder the show reads its files from, named relative to it ("show.toml",
// "Part9/background.pcx"). A value handed to whatever loads, so two shows built from two folders
// live side by side; messages keep printing the names as written.
class DataFolder {
public:
    // An empty root is the working directory.
    DataFolder() = default;
    explicit DataFolder(std::filesystem::path root) : root_(std::move(root)) {}

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path path(const std::string& name) const { return root_.empty() ? std::filesystem::path(name) : root_ / name; }

    // Opens the named file, so a caller can look at the name before reading a byte. Throws
    // LoadError(name, refusals.cannotOpen).
    AssetFile open(const std::string& name, AssetFile::Refusals refusals = {}) const {
        return AssetFile::open(path(name), name, refusals);
    }
    // The whole file, as AssetFile::readAll reads it.
    std::vector<std::uint8_t> read(const std::string& name, AssetFile::Refusals refusals = {}) const {
        return open(name, refusals).readAll();
    }

private:
    std::filesystem::path root_;
};
