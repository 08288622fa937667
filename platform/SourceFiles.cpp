#include "platform/SourceFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string reason(int error) { return std::error_code(error, std::generic_category()).message(); }

struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

// Whether the link at path (NAME relative to the root) leads to a regular file inside realRoot,
// or why not.
std::optional<std::string> linkVerdict(const fs::path& path, const std::string& name, const fs::path& realRoot) {
    std::error_code ec;
    const fs::path target = fs::canonical(path, ec);
    if (ec) return name + ": a symbolic link that leads nowhere (" + ec.message() + "); skipped";
    if (fs::is_directory(target, ec)) return name + ": a symbolic link to a folder; not followed";
    if (!SourceFiles::inside(target, realRoot)) return name + ": a symbolic link out of the sources; skipped";
    if (!fs::is_regular_file(target, ec)) return name + ": a symbolic link to no regular file; skipped";
    return std::nullopt;
}

std::mutex saidMutex;
std::set<std::string> said;

} // namespace

namespace SourceFiles {

std::optional<std::string> refusedLink(const fs::path& root, const std::string& relative) {
    std::error_code ec;
    const fs::path realRoot = fs::canonical(root, ec);
    if (ec) return std::nullopt;
    fs::path at = root, name;
    for (const fs::path& part : fs::path(relative)) {
        at /= part;
        name /= part;
        if (!fs::is_symlink(fs::symlink_status(at, ec))) continue;
        if (const auto refused = linkVerdict(at, name.generic_string(), realRoot)) return refused;
    }
    return std::nullopt;
}

bool warned(const std::string& message) {
    const std::lock_guard lock(saidMutex);
    return said.count(message) != 0;
}

std::string read(const fs::path& path, const std::string& name, std::uintmax_t limit) {
    // Non-blocking, so a FIFO's open returns at once and is then refused as not a file.
    Fd in{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (in.fd < 0) {
        const int error = errno;
        throw std::runtime_error(name + ": " + (error == ENOENT ? std::string("no such file") : "cannot read (" + reason(error) + ")"));
    }
    struct stat status {};
    if (::fstat(in.fd, &status) != 0) throw std::runtime_error(name + ": cannot read (" + reason(errno) + ")");
    if (S_ISDIR(status.st_mode)) throw std::runtime_error(name + ": a folder, not a file");
    if (!S_ISREG(status.st_mode)) throw std::runtime_error(name + ": not a regular file");
    if (static_cast<std::uintmax_t>(status.st_size) > limit)
        throw std::runtime_error(name + ": larger than " + std::to_string(limit >> 20) + " MiB");
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(in.fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw std::runtime_error(name + ": cannot read (" + reason(errno) + ")");
        if (got == 0) break;
        // A file growing while it is read is held to the same bound.
        if (text.size() + static_cast<std::size_t>(got) > limit)
            throw std::runtime_error(name + ": larger than " + std::to_string(limit >> 20) + " MiB");
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

bool inside(const fs::path& path, const fs::path& folder) {
    const fs::path relative = fs::absolute(path).lexically_normal().lexically_relative(fs::absolute(folder).lexically_normal());
    return !relative.empty() && *relative.begin() != ".." && !relative.is_absolute();
}

void walk(const fs::path& root, const std::function<void(const std::string&)>& file, const Warn& warn) {
    std::error_code ec;
    const fs::path realRoot = fs::canonical(root, ec);
    if (ec) {
        warn(root.string() + ": cannot read the folder (" + ec.message() + ")");
        return;
    }
    std::vector<fs::path> folders{fs::path()};
    while (!folders.empty()) {
        const fs::path folder = std::move(folders.back());
        folders.pop_back();
        const std::string folderName = folder.empty() ? root.string() : folder.generic_string();
        fs::directory_iterator it(root / folder, ec);
        if (ec) {
            warn(folderName + ": cannot read the folder (" + ec.message() + "); skipped");
            continue;
        }
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            const fs::path relative = folder / it->path().filename();
            const std::string name = relative.generic_string();
            std::error_code kindError;
            const fs::file_status own = it->symlink_status(kindError);
            if (kindError) {
                warn(name + ": " + kindError.message() + "; skipped");
                continue;
            }
            if (fs::is_directory(own)) {
                folders.push_back(relative);
                continue;
            }
            if (fs::is_regular_file(own)) {
                file(name);
                continue;
            }
            if (!fs::is_symlink(own)) continue;  // sockets, FIFOs, devices: never sources
            if (const auto refused = linkVerdict(it->path(), name, realRoot)) warn(*refused);
            else file(name);
        }
        if (ec) {
            warn(folderName + ": cannot read the whole folder (" + ec.message() + "); the rest skipped");
            ec.clear();
        }
    }
}

void warnOnStderr(const std::string& message) {
    // Sources are walked again on every save: a bad entry is named once, not on each walk.
    const std::lock_guard lock(saidMutex);
    if (said.insert(message).second) std::fprintf(stderr, "%s\n", message.c_str());
}

} // namespace SourceFiles
