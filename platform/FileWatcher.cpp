#include "platform/FileWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace fs = std::filesystem;

FileWatcher::FileWatcher(const fs::path& root) : root_(root) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error(std::string("cannot watch files: ") + std::strerror(errno));
    try {
        watch(root_);
        for (const auto& entry : fs::recursive_directory_iterator(root_))
            if (entry.is_directory()) watch(entry.path());
    } catch (...) {
        close(fd_);
        throw;
    }
}

FileWatcher::~FileWatcher() { close(fd_); }

void FileWatcher::watch(const fs::path& folder) {
    const int wd = inotify_add_watch(fd_, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE);
    if (wd < 0) throw std::runtime_error("cannot watch " + folder.string() + ": " + std::strerror(errno));
    folders_.emplace_back(wd, folder);
}

void FileWatcher::note(const fs::path& path, std::vector<std::string>& saved) const {
    const std::string relative = path.lexically_relative(root_).generic_string();
    if (std::find(saved.begin(), saved.end(), relative) == saved.end()) saved.push_back(relative);
}

// A folder made or moved in is watched from now on, and what it already holds counts as saved:
// files may have landed in it before the watch began.
void FileWatcher::arrived(const fs::path& folder, std::vector<std::string>& saved) {
    std::error_code ec;
    try {
        watch(folder);
        for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec)) {
            if (it->is_directory(ec)) watch(it->path());
            else if (it->is_regular_file(ec)) note(it->path(), saved);
        }
    } catch (const std::runtime_error&) {
        // Gone again already: nothing in it to watch.
    }
}

std::vector<std::string> FileWatcher::changes() {
    std::vector<std::string> saved;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0) break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const auto folder = std::find_if(folders_.begin(), folders_.end(),
                                             [event](const auto& f) { return f.first == event->wd; });
            if (folder == folders_.end() || event->len == 0) continue;
            const fs::path path = folder->second / event->name;
            if (event->mask & IN_ISDIR) {
                if (event->mask & (IN_CREATE | IN_MOVED_TO)) arrived(path, saved);
                continue;
            }
            if (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) note(path, saved);
        }
    }
    return saved;
}
