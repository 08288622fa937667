#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class FileWatcher;

// The studio's eye on the sources: the files saved since the last look, and what the watch
// itself has to say. A folder moved or deleted is waited for and, when it is back, compared
// with what was seen before; so are the sources after the kernel lost events.
class StudioWatch {
public:
    // Per banner entry, a notice to show, or empty to clear it.
    using Notices = std::map<std::string, std::string>;

    explicit StudioWatch(std::filesystem::path sources);
    ~StudioWatch();
    StudioWatch(const StudioWatch&) = delete;
    StudioWatch& operator=(const StudioWatch&) = delete;

    // The files saved since the last look, relative to the sources; notices go to notices.
    std::vector<std::string> look(Notices& notices);
    // Whether anything was saved since the last look or the folder was lost: a build in hand
    // is then out of date. What was saved is kept for the next look.
    bool newer();
    // The files just built from, as they are now, so a later comparison finds only new changes.
    void seen(const std::vector<std::string>& files);
    // Folders outside the sources that builds read from (the fonts', the renderer's settings):
    // watched too, their files reported by absolute path. A folder that cannot be watched is
    // left to the next start's comparison.
    void outside(const std::set<std::filesystem::path>& folders);

private:
    // Every source file's size, time and file number, to find what changed when the saves
    // themselves were lost.
    struct Stamp {
        std::uintmax_t size = 0;
        std::int64_t time = 0;
        unsigned long long inode = 0;
        bool operator==(const Stamp&) const = default;
    };
    using Snapshot = std::map<std::string, Stamp>;
    static Snapshot snapshot(const std::filesystem::path& sources);
    static void stamp(Snapshot& files, const std::filesystem::path& sources, const std::string& name);
    std::vector<std::string> rescan();

    std::filesystem::path sources_;
    std::unique_ptr<FileWatcher> watcher_;  // none while the folder is gone
    Snapshot snapshot_;
    std::vector<std::string> early_;  // saved during a build, for the next look
    std::map<std::filesystem::path, std::unique_ptr<FileWatcher>> outside_;  // none: cannot be watched
};
