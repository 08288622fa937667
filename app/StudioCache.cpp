#include "app/StudioCache.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A folder of ours, made if need be: not a link, owned by us, and when private, closed to others.
void ownFolder(const fs::path& folder, bool mustBePrivate) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw std::runtime_error(folder.string() + ": cannot make the studio's cache (" + std::strerror(errno) + ")");
    struct stat s {};
    if (::lstat(folder.c_str(), &s) != 0)
        throw std::runtime_error(folder.string() + ": cannot use the studio's cache (" + std::strerror(errno) + ")");
    if (S_ISLNK(s.st_mode) || !S_ISDIR(s.st_mode))
        throw std::runtime_error(folder.string() + ": not a folder but a link or a file; the studio's cache is not made through it");
    if (s.st_uid != ::geteuid())
        throw std::runtime_error(folder.string() + ": owned by another user; the studio's cache is not made there");
    // One made by an earlier version with the usual mode is ours: closed now.
    if (mustBePrivate && (s.st_mode & 0077) != 0 && ::chmod(folder.c_str(), 0700) != 0)
        throw std::runtime_error(folder.string() + ": cannot close the studio's cache to other users (" +
                                 std::strerror(errno) + ")");
}

std::string keyOf(const fs::path& sources) {
    std::error_code ec;
    const std::size_t key = std::hash<std::string>{}(fs::weakly_canonical(sources, ec).string());
    char name[40];
    std::snprintf(name, sizeof name, "studio-%016zx", key);
    return name;
}

} // namespace

StudioCache::StudioCache(const fs::path& sources) {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    fs::path base;
    // The XDG rules: a relative XDG_CACHE_HOME is ignored.
    if (xdg && *xdg == '/') base = xdg;
    else if (home && *home) base = fs::path(home) / ".cache";
    if (!base.empty()) {
        std::error_code ec;
        fs::create_directories(base, ec);
        ownFolder(base / "tindrel", false);
        const fs::path mine = base / "tindrel" / keyOf(sources);
        ownFolder(mine, true);
        data_ = mine / "data";
        ownFolder(data_, true);
        return;
    }
    std::error_code ec;
    fs::path tmp = fs::temp_directory_path(ec);
    if (ec) tmp = "/tmp";
    std::string name = (tmp / "tindrel-studio-XXXXXX").string();
    if (!::mkdtemp(name.data()))
        throw std::runtime_error(name + ": cannot make the studio's cache (" + std::strerror(errno) + ")");
    temporary_ = name;
    ownFolder(temporary_, true);
    data_ = temporary_ / "data";
    ownFolder(data_, true);
}

StudioCache::~StudioCache() {
    if (temporary_.empty()) return;
    std::error_code ec;
    fs::remove_all(temporary_, ec);
}
