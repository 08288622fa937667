#include "tools/InsideWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

[[noreturn]] void fail(const fs::path& root, const std::string& relative, const std::string& why) {
    throw std::runtime_error((root / relative).string() + ": cannot write it (" + why + ")");
}

// The folder name under at, made if need be; what stands there that is not a folder goes.
Fd folder(const Fd& at, const std::string& name, const fs::path& root, const std::string& relative) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::openat(at.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) return Fd(fd);
        if (errno == ELOOP || errno == ENOTDIR) {
            if (::unlinkat(at.get(), name.c_str(), 0) != 0 && errno != ENOENT) fail(root, relative, std::strerror(errno));
        } else if (errno != ENOENT) {
            fail(root, relative, std::strerror(errno));
        }
        if (::mkdirat(at.get(), name.c_str(), 0755) != 0 && errno != EEXIST) fail(root, relative, std::strerror(errno));
    }
    fail(root, relative, "a folder on the way keeps changing");
}

} // namespace

namespace InsideWriter {

void write(const fs::path& root, const std::string& relative, const void* bytes, std::size_t size) {
    std::vector<std::string> parts;
    for (const fs::path& part : fs::path(relative)) {
        const std::string name = part.string();
        if (name.empty() || name == "." || name == ".." || name == "/") fail(root, relative, "not a name inside the folder");
        parts.push_back(name);
    }
    if (parts.empty()) fail(root, relative, "no name");
    std::error_code ec;
    fs::create_directories(root, ec);
    Fd at(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (at.get() < 0) fail(root, relative, std::strerror(errno));
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) at = folder(at, parts[i], root, relative);

    static std::atomic<unsigned> count{0};
    const std::string aside = "." + parts.back() + "." + std::to_string(::getpid()) + "-" + std::to_string(count++) + ".new";
    Fd out(::openat(at.get(), aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (out.get() < 0) fail(root, relative, std::strerror(errno));
    const auto* from = static_cast<const char*>(bytes);
    for (std::size_t done = 0; done < size;) {
        const ssize_t put = ::write(out.get(), from + done, size - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            const int error = put < 0 ? errno : ENOSPC;
            ::unlinkat(at.get(), aside.c_str(), 0);
            fail(root, relative, std::strerror(error));
        }
        done += static_cast<std::size_t>(put);
    }
    if (::close(out.release()) != 0) {
        const int error = errno;
        ::unlinkat(at.get(), aside.c_str(), 0);
        fail(root, relative, std::strerror(error));
    }
    // A rename replaces the entry at the name, whatever it is, and never opens it.
    if (::renameat(at.get(), aside.c_str(), at.get(), parts.back().c_str()) != 0) {
        const int error = errno;
        ::unlinkat(at.get(), aside.c_str(), 0);
        fail(root, relative, std::strerror(error));
    }
}

} // namespace InsideWriter
