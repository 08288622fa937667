#include "raster/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <stdexcept>
#include <system_error>
#include <string>
#include <utility>

namespace {

// The kernel's own limit on links followed in one lookup.
constexpr int maxLinks = 40;

// The path with every symlink at its end followed, and what is there (st_mode 0 for nothing).
// Returns the errno of a failed lookup, 0 on success.
int followLinks(std::filesystem::path& path, struct stat& status) {
    for (int links = 0;; ++links) {
        if (::lstat(path.c_str(), &status) != 0) {
            status.st_mode = 0;
            return errno == ENOENT ? 0 : errno;
        }
        if (!S_ISLNK(status.st_mode)) return 0;
        if (links == maxLinks) return ELOOP;
        std::error_code ec;
        const std::filesystem::path next = std::filesystem::read_symlink(path, ec);
        if (ec) return ec.value();
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
}

[[noreturn]] void throwWriteError(const std::filesystem::path& path, const std::string& what, int error) {
    throw std::runtime_error(path.string() + ": cannot write " + what + " (" +
                             std::error_code(error, std::generic_category()).message() + ")");
}

// Writers in one process tell their aside files apart by this, and processes by their ids.
std::atomic<unsigned> asideCount{0};

} // namespace

OutputFile::OutputFile(std::filesystem::path path, std::string what)
    : path_(std::move(path)), what_(std::move(what)), target_(path_) {
    if (isStandardOutput(path_)) {
        fd_ = STDOUT_FILENO;
        return;
    }
    if (path_.empty()) fail(ENOENT);
    struct stat status {};
    if (const int error = followLinks(target_, status)) fail(error);
    if (S_ISDIR(status.st_mode)) fail(EISDIR);
    if (status.st_mode != 0 && !S_ISREG(status.st_mode)) {
        // Opening a FIFO waits for its reader, as a shell's redirection does.
        do fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        while (fd_ < 0 && errno == EINTR);
        if (fd_ < 0) fail(errno);
        ownsFd_ = true;
        return;
    }
    const std::string prefix = target_.string() + ".partial-" + std::to_string(::getpid()) + '-';
    for (;;) {
        aside_ = prefix + std::to_string(asideCount.fetch_add(1, std::memory_order_relaxed));
        // Created as any new file is, so the umask decides its mode.
        fd_ = ::open(aside_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd_ >= 0) break;
        if (errno != EEXIST && errno != EINTR) {
            const int error = errno;
            aside_.clear();
            fail(error);
        }
    }
    ownsFd_ = true;
    // A file replaced keeps who may read and write it, as one overwritten in place would.
    if (status.st_mode != 0 && ::fchmod(fd_, status.st_mode & 0777) != 0) {
        // The destructor does not run for a constructor that throws.
        const int error = errno;
        ::close(fd_);
        ::unlink(aside_.c_str());
        fail(error);
    }
}

OutputFile::~OutputFile() {
    if (ownsFd_ && fd_ >= 0) ::close(fd_);
    if (!committed_ && !aside_.empty()) ::unlink(aside_.c_str());
}

void OutputFile::write(const void* bytes, std::size_t size) {
    const char* next = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t written = ::write(fd_, next, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        next += written;
        size -= static_cast<std::size_t>(written);
    }
}

void OutputFile::commit() {
    if (ownsFd_) {
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0) fail(errno);
    }
    if (!aside_.empty() && ::rename(aside_.c_str(), target_.c_str()) != 0) fail(errno);
    committed_ = true;
}

void OutputFile::writeWhole(const std::filesystem::path& path, const void* bytes, std::size_t size, std::string what) {
    OutputFile file(path, std::move(what));
    file.write(bytes, size);
    file.commit();
}

std::filesystem::path OutputFile::replaced(const std::filesystem::path& path, const std::string& what) {
    std::filesystem::path target = path;
    struct stat status {};
    int error = path.empty() ? ENOENT : followLinks(target, status);
    if (error == 0 && S_ISDIR(status.st_mode)) error = EISDIR;
    if (error == 0 && status.st_mode == 0) {
        // A file yet to be made needs its folder.
        const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
        struct stat folderStatus {};
        if (::stat(folder.c_str(), &folderStatus) != 0) error = errno;
        else if (!S_ISDIR(folderStatus.st_mode)) error = ENOTDIR;
    }
    if (error != 0) throwWriteError(path, what, error);
    return target;
}

void OutputFile::fail(int error) const { throwWriteError(path_, what_, error); }
