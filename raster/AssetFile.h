#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The show names its files relative to one data directory ("Super.xm", "Part9/background.pcx").
// The directory is chosen once at start-up; messages keep printing the names as written.
class AssetFile {
public:
    // An empty root means the working directory.
    static void setRoot(const std::filesystem::path& root);
    static const std::filesystem::path& root();
    static std::filesystem::path path(const std::string& name);

    // The whole file; throws LoadError(name, "Could not open file") when it cannot be read.
    static std::vector<std::uint8_t> read(const std::string& name);
};
