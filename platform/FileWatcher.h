#pragma once

#include <filesystem>
#include <string>
#include <unordered_set>
#include <vector>

// Files saved under a folder, as Linux's inotify reports them: written and closed, or moved
// into place (how many editors save), in the folder or any folder below it, including ones
// made later; files deleted or moved away count too. Never blocks. When the kernel's queue
// overflows, saves are lost: overflowed() says so, and the caller looks for itself.
// A folder that cannot be read is named on standard error and left unwatched.
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
    // Whether events were lost since the last call (read by changes()); every folder is watched
    // again meanwhile, so new ones are not missed from now on.
    bool overflowed();
    // Whether the root itself was moved or deleted (read by changes()): nothing more comes.
    bool lost() const { return lost_; }

private:
    void watch(const std::filesystem::path& folder);
    void arrived(const std::filesystem::path& folder, std::vector<std::string>& saved);
    void note(const std::filesystem::path& path, std::vector<std::string>& saved);

    std::filesystem::path root_;
    void watchAll();

    int fd_ = -1;
    bool overflowed_ = false;
    bool lost_ = false;
    int rootWd_ = -1;
    std::vector<std::pair<int, std::filesystem::path>> folders_;  // watch descriptor, folder
    std::unordered_set<std::string> noted_;                       // this call's files
};
