#include "platform/FileWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace fs = std::filesystem;

FileWatcher::FileWatcher(const fs::path& root) : root_(root) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error(std::string("cannot watch files: ") + std::strerror(errno));
    try {
        watch(root_);
        rootWd_ = folders_.front().first;
        watchAll();
    } catch (...) {
        close(fd_);
        throw;
    }
}

FileWatcher::~FileWatcher() { close(fd_); }

// Every folder below the root; one that cannot be read or watched is named and the rest go on.
void FileWatcher::watchAll() {
    std::vector<fs::path> pending{root_};
    while (!pending.empty()) {
        const fs::path folder = std::move(pending.back());
        pending.pop_back();
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        if (ec) std::fprintf(stderr, "%s: cannot watch the folder (%s)\n", folder.string().c_str(), ec.message().c_str());
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            std::error_code kind;
            if (!it->is_directory(kind) || it->is_symlink(kind)) continue;
            try {
                watch(it->path());
                pending.push_back(it->path());
            } catch (const std::runtime_error& e) {
                std::fprintf(stderr, "%s\n", e.what());
            }
        }
    }
}

void FileWatcher::watch(const fs::path& folder) {
    const int wd = inotify_add_watch(fd_, folder.c_str(),
                                     IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                                         IN_DELETE_SELF | IN_MOVE_SELF | IN_DONT_FOLLOW);
    if (wd < 0) throw std::runtime_error("cannot watch " + folder.string() + ": " + std::strerror(errno));
    // Watching a folder again gives its old number, with the path it has now.
    const auto known = std::find_if(folders_.begin(), folders_.end(), [wd](const auto& f) { return f.first == wd; });
    if (known != folders_.end()) known->second = folder;
    else folders_.emplace_back(wd, folder);
}

bool FileWatcher::overflowed() {
    const bool was = overflowed_;
    overflowed_ = false;
    return was;
}

void FileWatcher::note(const fs::path& path, std::vector<std::string>& saved) {
    std::string relative = path.lexically_relative(root_).generic_string();
    // A burst of thousands of files is noted in a moment, not in a time that grows with its square.
    if (noted_.insert(relative).second) saved.push_back(std::move(relative));
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
    noted_.clear();
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0) break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                overflowed_ = true;
                watchAll();
                continue;
            }
            if (event->wd == rootWd_ && (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF))) {
                lost_ = true;
                continue;
            }
            const auto folder = std::find_if(folders_.begin(), folders_.end(),
                                             [event](const auto& f) { return f.first == event->wd; });
            if (folder == folders_.end() || event->len == 0) continue;
            const fs::path path = folder->second / event->name;
            if (event->mask & IN_ISDIR) {
                if (event->mask & (IN_CREATE | IN_MOVED_TO)) arrived(path, saved);
                continue;
            }
            if (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM)) note(path, saved);
        }
    }
    return saved;
}
