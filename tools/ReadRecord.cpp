#include "tools/ReadRecord.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <limits.h>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

std::atomic<bool> recording{false};

struct Record {
    std::mutex mutex;
    std::vector<std::string> paths;
    std::unordered_set<std::string> seen;
};

Record& record() {
    // Never destroyed: a library may open a file while the process is ending.
    static Record* const r = new Record;  // NOLINT: lives as long as the process
    return *r;
}

// Kernel interfaces and the running program are no file a build is made from.
bool worthNoting(const std::string& path) {
    for (const char* skip : {"/proc/", "/sys/", "/dev/"})
        if (path.starts_with(skip)) return false;
    return true;
}

void note(int dirfd, const char* path, int flags, int result) {
    if (!recording.load(std::memory_order_relaxed) || path == nullptr || *path == '\0') return;
    if ((flags & O_ACCMODE) != O_RDONLY || (flags & O_DIRECTORY) != 0) return;
    if (result < 0 && errno != ENOENT) return;
    const int saved = errno;
    std::string full = path;
    if (full.front() != '/') {
        char base[PATH_MAX];
        ssize_t length = -1;
        if (dirfd == AT_FDCWD) {
            if (::getcwd(base, sizeof base) != nullptr) length = static_cast<ssize_t>(std::char_traits<char>::length(base));
        } else {
            const std::string link = "/proc/self/fd/" + std::to_string(dirfd);
            length = ::readlink(link.c_str(), base, sizeof base - 1);
        }
        if (length > 0) full = std::string(base, static_cast<std::size_t>(length)) + '/' + full;
    }
    if (worthNoting(full)) {
        Record& r = record();
        const std::lock_guard lock(r.mutex);
        if (r.seen.insert(full).second) r.paths.push_back(full);
    }
    errno = saved;
}

int openAt(int dirfd, const char* path, int flags, mode_t mode) {
    const int fd = static_cast<int>(::syscall(SYS_openat, dirfd, path, flags, mode));
    note(dirfd, path, flags, fd);
    return fd;
}

mode_t modeOf(int flags, va_list args) {
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

} // namespace

// The C library's opening calls, taken in place of its own by every library of the process.
extern "C" {
int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return openAt(AT_FDCWD, path, flags, mode);
}
int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return openAt(AT_FDCWD, path, flags, mode);
}
int openat(int dirfd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return openAt(dirfd, path, flags, mode);
}
int openat64(int dirfd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return openAt(dirfd, path, flags, mode);
}
// What fortified callers reach when the flags are not known at compile time.
int __open_2(const char* path, int flags) { return openAt(AT_FDCWD, path, flags, 0); }
int __open64_2(const char* path, int flags) { return openAt(AT_FDCWD, path, flags, 0); }
}

namespace ReadRecord {

void start() {
    Record& r = record();
    const std::lock_guard lock(r.mutex);
    r.paths.clear();
    r.seen.clear();
    recording = true;
}

std::vector<std::string> paths() {
    Record& r = record();
    const std::lock_guard lock(r.mutex);
    return r.paths;
}

void add(const std::vector<std::string>& paths) {
    Record& r = record();
    const std::lock_guard lock(r.mutex);
    for (const std::string& path : paths)
        if (r.seen.insert(path).second) r.paths.push_back(path);
}

void stop() { recording = false; }

} // namespace ReadRecord
