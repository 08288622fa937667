#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Files saved under a folder, as Linux's inotify reports them: written and closed, or moved
// into place (how many editors save), in the folder or any folder below it, including ones
// made later. Never blocks.
class FileWatcher {
public:
    // Throws std::runtime_error when the folder cannot be watched.
    explicit FileWatcher(const std::filesystem::path& root);
    ~FileWatcher();
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    // The files saved since the last call, relative to the root, each once, in the order of
    // their first save.
    std::vector<std::string> changes();

private:
    void watch(const std::filesystem::path& folder);
    void arrived(const std::filesystem::path& folder, std::vector<std::string>& saved);
    void note(const std::filesystem::path& path, std::vector<std::string>& saved) const;

    std::filesystem::path root_;
    int fd_ = -1;
    std::vector<std::pair<int, std::filesystem::path>> folders_;  // watch descriptor, folder
};
